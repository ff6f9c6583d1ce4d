# The program's version, in one place: the version resource and manifest, the window's "バージョン"
# label and the name of the download all take it from here.
set(CELLDROP_VERSION 0.4.0)
