# The MinGW-w64 cross build, shared by the toolchain files of both
# architectures: they set CMAKE_SYSTEM_PROCESSOR (x86_64 or i686) and
# include this.
set(CMAKE_SYSTEM_NAME Windows)
set(calorix_mingw_triplet ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${calorix_mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${calorix_mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${calorix_mingw_triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${calorix_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The posix thread model: GoogleTest needs std::mutex. Static runtime: the
# executables run on any Windows (and Wine) without DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
