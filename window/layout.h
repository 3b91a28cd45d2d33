// The window's look as data: the controls' kind, caption and geometry in twips, in tab order;
// the screen's resolution they are scaled by; the font their captions use.
#pragma once

#include <windows.h>

#include <array>
#include <utility>

namespace wordrope {

enum class Kind { Picture, Button, Label };

struct ControlSpec {
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
extern const std::array<ControlSpec, 32> kControls;

// Twips to pixels at `dpi` dots per inch (15 twips a pixel at 96).
int twipsToPixels(int twips, int dpi);

// Dots per inch of the screen, across and down: the layout and the pictures grow with them.
std::pair<int, int> screenDpi();

// How the system is asked for its metrics: SystemParametersInfoA, or a stand-in in the tests.
using SystemQuery = BOOL(WINAPI*)(UINT action, UINT param, PVOID out, UINT flags);

// The platform's user-interface font, the one message boxes use; the dialog font (a stock
// object) when the system will not say. The caller deletes it.
HFONT uiFont(SystemQuery query = SystemParametersInfoA);

}  // namespace wordrope
