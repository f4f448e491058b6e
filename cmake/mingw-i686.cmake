# 32-bit Windows (the system's own platform); used by scripts/build-windows.sh i686.
# This machine cannot run its programs: the build is compiled and linked only.
set(MORVANE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
