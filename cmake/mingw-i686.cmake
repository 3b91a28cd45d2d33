# Cross-compiling to 32-bit Windows with MinGW-w64 (i686): the program we ship. SSE maths, as the
# 64-bit and native builds have, so that all three draw alike.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(WORDROPE_WINE_ARCH win32)
set(WORDROPE_ARCH_FLAGS "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
