// The hook DLL: the test's requests carried out inside the game's process (game_hook.h).
#define WORDROPE_GAME_HOOK
#include "game_hook.h"

namespace {

void answer(HWND form, LRESULT value) { SetPropW(form, kAnswerName, reinterpret_cast<HANDLE>(value)); }

LRESULT ask(HWND form, WPARAM what, LPARAM of) {
    if (what == kSysColour) return GetSysColor(static_cast<int>(of));
    if (what == kSetSysColour) {
        const int index = static_cast<int>(of >> 24);
        const COLORREF before = GetSysColor(index), colour = static_cast<COLORREF>(of & 0xFFFFFF);
        SetSysColors(1, &index, &colour);
        return static_cast<LRESULT>(before);
    }
    HWND button = GetDlgItem(form, static_cast<int>(of));
    HDC dc = GetDC(button);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(form, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(button)));
    ReleaseDC(button, dc);
    LOGBRUSH info = {};
    return brush && GetObjectW(brush, sizeof info, &info) ? static_cast<LRESULT>(info.lbColor) : -1;
}

}  // namespace

LRESULT CALLBACK gameHook(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT dpiChange = RegisterWindowMessageW(kDpiChangeName),
                      request = RegisterWindowMessageW(kAskName);
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == dpiChange) {
        RECT suggested;
        GetWindowRect(call->hwnd, &suggested);
        suggested.right = suggested.left + LOWORD(call->lParam);
        suggested.bottom = suggested.top + HIWORD(call->lParam);
        const WORD dpi = LOWORD(call->wParam);
        SendMessageW(call->hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    } else if (code == HC_ACTION && call->message == request) {
        answer(call->hwnd, ask(call->hwnd, call->wParam, call->lParam));
    } else if (code == HC_ACTION && call->message == WM_THEMECHANGED && GetParent(call->hwnd)) {
        HWND parent = GetParent(call->hwnd);
        const auto seen = reinterpret_cast<INT_PTR>(GetPropW(parent, kRethemedName));
        SetPropW(parent, kRethemedName, reinterpret_cast<HANDLE>(seen + 1));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
