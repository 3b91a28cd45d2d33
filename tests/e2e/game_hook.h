// The end-to-end tests' hook inside the game's process, for what Wine does not send from another
// process. Wine never sends WM_DPICHANGED, and the RECT pointer it carries cannot come from another
// process: the test sends the game's window the message named kDpiChangeName instead (wParam the
// new DPI, lParam MAKELPARAM(width, height) of the window suggested at its present top-left
// corner), and the hook, called in the game's thread before the window sees it, sends the
// WM_DPICHANGED Windows would, with a RECT of the game's own. Likewise kAskName asks the game's
// window, in its own thread, what only its own process can tell; the answer is left in its
// property kAnswerName. While the hook is set it counts the WM_THEMECHANGED each control is sent,
// in its parent's property kRethemedName.
#pragma once

#include <windows.h>

#ifdef WORDROPE_GAME_HOOK
#define WORDROPE_GAME_HOOK_API extern "C" __attribute__((dllexport))
#else
#define WORDROPE_GAME_HOOK_API extern "C" __attribute__((dllimport))
#endif

inline constexpr wchar_t kDpiChangeName[] = L"WordropeTestDpiChange";
inline constexpr wchar_t kAskName[] = L"WordropeTestAsk";
inline constexpr wchar_t kAnswerName[] = L"WordropeTestAnswer";
inline constexpr wchar_t kRethemedName[] = L"WordropeTestRethemed";

// What kAskName asks (its wParam), of lParam.
enum Ask : WPARAM {
    kButtonBrush = 1,   // the colour of the brush the window answers WM_CTLCOLORBTN with for control lParam
    kSysColour = 2,     // GetSysColor(lParam) as the game's process has it
    kSetSysColour = 3,  // SetSysColors of colour lParam >> 24 to lParam & 0xFFFFFF (a COLORREF) there,
                        // as a change of the colour scheme does on Windows (Wine's reaches no other
                        // process); answers the colour it had
};

// A WH_CALLWNDPROC hook procedure; SetWindowsHookEx with the game's UI thread loads its DLL there.
WORDROPE_GAME_HOOK_API LRESULT CALLBACK gameHook(int code, WPARAM wParam, LPARAM lParam);
