# Unpacks the download into a fresh folder, as a user would: cmake -DZIP=... -DDEST=... -P unpack.cmake
file(REMOVE_RECURSE ${DEST})
file(MAKE_DIRECTORY ${DEST})
file(ARCHIVE_EXTRACT INPUT ${ZIP} DESTINATION ${DEST})
