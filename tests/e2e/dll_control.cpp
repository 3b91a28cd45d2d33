// The control of the planted DLLs' test: a program that only restricts its DLL search, as the game
// does first, and imports what the game imports. A DLL planted beside it that leaves a mark is one
// that the system's own DLLs load before any program code runs, which no program can keep out.
#include "dll_search.h"

#include <objbase.h>
#include <oleauto.h>

// A function of each DLL the game imports, so that the loader loads each, as for the game; read at
// run time, so that the compiler keeps them all.
const void* volatile imports[] = {
    reinterpret_cast<const void*>(&GetSysColor), reinterpret_cast<const void*>(&GetStockObject),
    reinterpret_cast<const void*>(&CoInitialize), reinterpret_cast<const void*>(&SysFreeString)};

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wordrope::restrictDllSearch({});
    for (const void* function : imports)
        if (!function) return 1;
    return 0;
}
