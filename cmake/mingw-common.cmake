# Cross build for Windows with MinGW-w64, for the processor the including toolchain file
# names. The -posix compilers: the code uses std::thread and std::binary_semaphore, which
# the -win32 ones of GCC 12 lack. Linked statically, so the executables need no DLL beyond
# those of Windows itself.
set(CMAKE_SYSTEM_NAME Windows)
set(NETCFG_MINGW_TRIPLE ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER ${NETCFG_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NETCFG_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NETCFG_MINGW_TRIPLE}-windres)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

set(CMAKE_FIND_ROOT_PATH /usr/${NETCFG_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
