# tools/run on a machine without a display, as a new user meets it: it must show the main job end to
# end and print what landed and where the screenshots are.
#   cmake -DRUN=tools/run -DHOME_DIR=<data home> -P run_demo_check.cmake
execute_process(COMMAND env -u DISPLAY XDG_DATA_HOME=${HOME_DIR} ${RUN}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
message("${out}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "tools/run failed (${status}):\n${err}")
endif()
foreach(expected
    "cell A1 = \"CellDrop のデモコピーした 2 行目\""
    "picture 図 1 180x90 pt at cell B1"
    "screenshot: [^\n]*/setup-screen\\.png"
    "screenshot: [^\n]*/paste-screen\\.png")
  if(NOT out MATCHES "${expected}")
    message(FATAL_ERROR "tools/run did not print: ${expected}")
  endif()
endforeach()
string(REGEX MATCHALL "screenshot: [^\n]*" shots "${out}")
foreach(line ${shots})
  string(REPLACE "screenshot: " "" shot "${line}")
  if(NOT EXISTS "${shot}")
    message(FATAL_ERROR "no screenshot at ${shot}")
  endif()
endforeach()
