// The end-to-end tests' hook inside the game's process. Wine never sends WM_DPICHANGED, and the
// RECT pointer it carries cannot come from another process: the test sends the game's window the
// message named kDpiChangeName instead (wParam the new DPI, lParam MAKELPARAM(width, height) of the
// window suggested at its present top-left corner), and the hook, called in the game's thread
// before the window sees it, sends the WM_DPICHANGED Windows would, with a RECT of the game's own.
#pragma once

#include <windows.h>

#ifdef WORDROPE_DPI_HOOK
#define WORDROPE_DPI_HOOK_API extern "C" __attribute__((dllexport))
#else
#define WORDROPE_DPI_HOOK_API extern "C" __attribute__((dllimport))
#endif

inline constexpr wchar_t kDpiChangeName[] = L"WordropeTestDpiChange";

// A WH_CALLWNDPROC hook procedure; SetWindowsHookEx with the game's UI thread loads its DLL there.
WORDROPE_DPI_HOOK_API LRESULT CALLBACK dpiHook(int code, WPARAM wParam, LPARAM lParam);
