# 64-bit Windows target: the same sources as the product, built only to run
# the Windows tests under 64-bit Wine where the machine cannot start 32-bit
# programs (tools/wine-arch.sh). Not shipped.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(duvarin_mingw x86_64-w64-mingw32)
set(duvarin_wine_arch win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
