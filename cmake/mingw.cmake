# Shared by the MinGW-w64 toolchain files: Windows, static runtime, test programs run under Wine.
# The including file sets CMAKE_SYSTEM_PROCESSOR (i686 or x86_64) and WORDROPE_WINE_ARCH.
set(CMAKE_SYSTEM_NAME Windows)
set(triple ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

# The release toolchain, named here once: the MinGW-w64 GCC of this Debian release, with the win32
# thread model, the last whose runtime runs on Windows XP (from GCC 13 on, libgcc's thread support
# imports GetThreadId, and exception handling links it in). Others build and test everything else.
set(WORDROPE_RELEASE_DEBIAN 12)
set(WORDROPE_RELEASE_GCC 12)

# The win32 thread model: nothing here uses threads, and the posix one links winpthreads,
# which imports functions Windows XP lacks (GetTickCount64).
set(CMAKE_C_COMPILER ${triple}-gcc-win32)  # for GoogleTest's project, which enables C too
set(CMAKE_CXX_COMPILER ${triple}-g++-win32)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Small and the same every time: sized for size (the engine's draw keeps -O2, see engine/),
# unused sections dropped, and no time stamp in the executable.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG" CACHE STRING "")
# Programs link the ordinary code of the engine's objects; only the shipped ones ask for the
# linker plugin and link-time optimisation (see the top CMakeLists.txt).
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections -Wl,--no-insert-timestamp -fno-use-linker-plugin")

# Windows test programs run under Wine, with the loader and a prefix of their word size.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine.sh;exec;${WORDROPE_WINE_ARCH}")
