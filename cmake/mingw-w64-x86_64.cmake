# Cross-compiling the Windows program with MinGW-w64 for 64-bit Windows
# (x86_64) on Linux.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
