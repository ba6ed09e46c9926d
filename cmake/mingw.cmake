# What both MinGW-w64 toolchain files share; each names its processor, the
# compilers' prefix and the Wine its programs run under, then includes this.
# The POSIX-threads compilers: the win32-threads variant has no std::mutex,
# which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${duvarin_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${duvarin_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${duvarin_mingw}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${duvarin_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# CTest runs the Windows test programs through Wine in the project's prefix
# for that Wine (tools/wine-env.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR env DUVARIN_WINE_ARCH=${duvarin_wine_arch}
    ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-test.sh)
