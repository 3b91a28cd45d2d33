// A DLL such as a web page could drop beside the game, under the name of one of the system's:
// loaded into a process, it leaves a mark beside itself, its own path and ".ran". Wine loads it for
// an import even without the functions imported (it stubs what is missing), so it serves every name.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t mark[MAX_PATH + 8];
    const DWORD n = GetModuleFileNameW(self, mark, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return TRUE;
    lstrcpyW(mark + n, L".ran");
    CloseHandle(CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return TRUE;
}
