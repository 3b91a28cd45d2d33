# Cross-compiling to 32-bit Windows with MinGW-w64 (i686): the program we ship, for every processor
# Windows XP runs on (no SSE2; the draw is whole numbers).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(WORDROPE_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
