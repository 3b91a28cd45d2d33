// The hook DLL: the test's request becomes WM_DPICHANGED, inside the game's process.
#define WORDROPE_DPI_HOOK
#include "dpi_hook.h"

LRESULT CALLBACK dpiHook(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT request = RegisterWindowMessageW(kDpiChangeName);
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == request) {
        RECT suggested;
        GetWindowRect(call->hwnd, &suggested);
        suggested.right = suggested.left + LOWORD(call->lParam);
        suggested.bottom = suggested.top + HIWORD(call->lParam);
        const WORD dpi = LOWORD(call->wParam);
        SendMessageW(call->hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
