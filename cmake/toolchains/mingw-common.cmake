# Shared by the MinGW-w64 toolchain files; VEXA_MINGW_TRIPLE names the target.
# The -posix compilers, whose libstdc++ is built on winpthread. Their runtime
# (libgcc, libstdc++, winpthread) is linked statically into everything we
# build for Windows, so nothing needs a MinGW DLL beside it.
set(CMAKE_C_COMPILER ${VEXA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEXA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VEXA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VEXA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
