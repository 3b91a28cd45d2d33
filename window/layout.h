// The window's controls as data: kind, caption and geometry in twips, in tab order.
#pragma once

#include <array>
#include <utility>

namespace wordrope {

enum class Kind { Picture, Button, Label };

struct ControlSpec {
    const char* name;
    Kind kind;
    const char* caption;
    int left, top, width, height;  // twips from the client area's top-left corner
    int tabIndex;
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

}  // namespace wordrope
