# Cross-compiling the Windows program with MinGW-w64 for 32-bit Windows
# (i686) on Linux.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
