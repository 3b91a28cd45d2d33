// The DLL search of the Windows programs, limited to the system folder.
#include "dll_search.h"

#include <string>

namespace wordrope {

void restrictDllSearch(std::initializer_list<const wchar_t*> preload) {
    if (const auto setDefault =
            systemFunction<BOOL WINAPI(DWORD)>(L"kernel32.dll", "SetDefaultDllDirectories"))
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");  // Windows XP SP1 on: the current folder no longer searched
    loadFromSystemFolder(preload);
}

void loadFromSystemFolder(std::initializer_list<const wchar_t*> dlls) {
    for (const wchar_t* dll : dlls) systemModule(dll);
}

HMODULE systemModule(const wchar_t* dll) {
    if (HMODULE loaded = GetModuleHandleW(dll)) return loaded;
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    // By full path, and its imports looked for beside it, in the system folder, first.
    return LoadLibraryExW((std::wstring(folder, n) + L"\\" + dll).c_str(), nullptr,
                          LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace wordrope
