// A DLL such as a web page could drop beside the game: loaded into a process, it leaves a mark
// beside itself, its own path and ".ran". Built as stand-ins for the system's DLLs, each exporting
// every name the real one does (tests/e2e/exports.py), all bound to the one stub.
#include <windows.h>

extern "C" int planted_stub() { return 0; }

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t mark[MAX_PATH + 8];
    const DWORD n = GetModuleFileNameW(self, mark, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return TRUE;
    lstrcpyW(mark + n, L".ran");
    CloseHandle(CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return TRUE;
}
