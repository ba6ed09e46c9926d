# 32-bit Windows target: the product.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(duvarin_mingw i686-w64-mingw32)
set(duvarin_wine_arch win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
