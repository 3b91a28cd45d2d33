# Cross-compiling to 64-bit Windows with MinGW-w64 (x86_64): for machines that cannot run 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(WORDROPE_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
