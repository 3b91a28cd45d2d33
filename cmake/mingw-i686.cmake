# Cross-compiling to 32-bit Windows with MinGW-w64 (i686): the program we ship, for the Pentium Pro
# and every later x86 processor, what Debian's compiler and its runtime are built for (no SSE; the
# draw is whole numbers). Not for the Pentium, Pentium MMX or K6, which lack the runtime's cmov.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(WORDROPE_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
