// The window's look as data: the controls' kind, caption and geometry in twips, in tab order;
// the dots per inch they are scaled by; the font their captions use.
#pragma once

#include <windows.h>

#include <array>

namespace wordrope {

enum class Kind { Picture, Button, Label };

struct ControlRow {
    Kind kind;
    const char* caption;
    int left, top, width, height;  // twips from the client area's top-left corner
    int id;
};

inline constexpr int kClientWidth = 6285;  // twips
inline constexpr int kClientHeight = 3720;
inline constexpr int kWindowLeft = 1365;  // where the client area is first placed
inline constexpr int kWindowTop = 1935;

// Made in this order, which is the tab order: the picture box, 29 buttons, 2 labels.
extern const std::array<ControlRow, 32> kControlTable;

// Twips to pixels at `dpi` dots per inch (15 twips a pixel at 96).
int twipsToPixels(int twips, int dpi);

// The dots per inch of the system (the primary screen when the program started).
int systemDpi();

// The dots per inch of the screen `window` stands on: Windows 10 tells it for each monitor;
// earlier Windows have one for all, the system's.
int windowDpi(HWND window);

// The window rectangle, in screen pixels at `dpi`, whose client area stands where the table puts
// it, for a window of `style`.
RECT windowRectAt(int dpi, DWORD style);

// How the system is asked for its metrics, as Windows answers or as a test's stand-in does:
// `query` is SystemParametersInfoW, answering for the system's DPI, `dpi`; `queryForDpi` is
// SystemParametersInfoForDpi, answering for any DPI, where Windows has it (10 on), else null.
struct SystemMetrics {
    BOOL(WINAPI* query)(UINT action, UINT param, PVOID out, UINT flags);
    BOOL(WINAPI* queryForDpi)(UINT action, UINT param, PVOID out, UINT flags, UINT dpi);
    int dpi;
};
SystemMetrics systemMetrics();

// The platform's user-interface font, the one message boxes use, for a screen of `dpi`; the
// dialog font when the system will not say. The caller deletes it.
HFONT uiFont(int dpi, const SystemMetrics& system = systemMetrics());

}  // namespace wordrope
