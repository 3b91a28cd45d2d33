// The programs' load configuration: Windows 10 from 1607 on resolves their own imports from the
// system folder only, as the programs ask of every later load (dll_search.h).
#include <windows.h>

#include <cstddef>

// Windows reads the structure the linker's load-configuration directory points at, up to its
// size: here up to the safe exception handlers' table, which a 32-bit program's directory must
// not reach for Windows XP to load it (its size must be 64), and which these programs do without.
// GNU ld points the directory at a structure of this name only from 2.45 on: scripts/load_config.py
// does it after the link.
extern "C" const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used = {
    .Size = offsetof(IMAGE_LOAD_CONFIG_DIRECTORY, SEHandlerTable),
    .Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32,  // DependentLoadFlags, by MinGW-w64's older name
};
