# 32-bit Windows target, built with the POSIX-threads MinGW-w64 compilers
# (the win32-threads variant has no std::mutex, which GoogleTest needs).
# This is the product.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# CTest runs the Windows test programs through Wine in the project's prefix;
# build steps that run a program of the build use wine-run.sh.
set(CMAKE_CROSSCOMPILING_EMULATOR env DUVARIN_WINE_ARCH=win32
    ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-test.sh)
