// Where the Windows programs take their DLLs from: Windows' own folder, never the one they were
// unpacked in, which a web page may have dropped a DLL of the same name into.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace wordrope {

// First thing in a program, before it loads a DLL: from now on DLLs are looked for in the system
// folder only, where Windows can be told so (8 on; Vista and 7 with KB2533623), and never in the
// current folder; then `preload` is loaded from the system folder (loadFromSystemFolder).
void restrictDllSearch(std::initializer_list<const wchar_t*> preload);

// Loads each of `dlls` from the system folder by its full path, their own imports looked for there
// first. A later load by bare name, by the program or by Windows' own DLLs, gets the module loaded
// here: Windows XP's only defence, and Wine's too, whose DLLs load some others by bare name past
// the restriction above.
void loadFromSystemFolder(std::initializer_list<const wchar_t*> dlls);

// The module `dll` (a bare name): the one loaded already, else loaded from the system folder; null
// where there is none.
HMODULE systemModule(const wchar_t* dll);

// The function `name` of `module`, looked up at run time, as `Function`; null where there is none.
template <class Function>
Function* functionOf(HMODULE module, const char* name) {
    const FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    // Through the type that stands for any function, which the compiler lets become any other.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(found));
}

// The function `name` of the system's `dll` (what Windows XP lacks, and every DLL that is no import
// of the program's); null where there is none.
template <class Function>
Function* systemFunction(const wchar_t* dll, const char* name) {
    return functionOf<Function>(systemModule(dll), name);
}

}  // namespace wordrope
