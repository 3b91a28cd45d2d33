// The control table of the main window, and the screen resolution it is scaled by.
#include "layout.h"

#include "resource.h"

#include <windows.h>

namespace wordrope {

// clang-format off
const std::array<ControlSpec, 32> kControls = {{
    {"Picture1",  Kind::Picture, "",         0,    0,    3975, 3255, 0,  IDC_PICTURE1},
    {"Command1",  Kind::Button,  "A",        0,    3240, 255,  255,  1,  IDC_COMMAND1 + 0},
    {"Command2",  Kind::Button,  "B",        240,  3240, 255,  255,  2,  IDC_COMMAND1 + 1},
    {"Command3",  Kind::Button,  "C",        480,  3240, 255,  255,  3,  IDC_COMMAND1 + 2},
    {"Command4",  Kind::Button,  "D",        720,  3240, 255,  255,  4,  IDC_COMMAND1 + 3},
    {"Command5",  Kind::Button,  "E",        960,  3240, 255,  255,  5,  IDC_COMMAND1 + 4},
    {"Command6",  Kind::Button,  "F",        1200, 3240, 255,  255,  6,  IDC_COMMAND1 + 5},
    {"Command7",  Kind::Button,  "G",        1440, 3240, 255,  255,  7,  IDC_COMMAND1 + 6},
    {"Command8",  Kind::Button,  "H",        1680, 3240, 255,  255,  8,  IDC_COMMAND1 + 7},
    {"Command9",  Kind::Button,  "I",        1920, 3240, 255,  255,  9,  IDC_COMMAND1 + 8},
    {"Command10", Kind::Button,  "J",        2160, 3240, 255,  255,  10, IDC_COMMAND1 + 9},
    {"Command11", Kind::Button,  "K",        2400, 3240, 255,  255,  11, IDC_COMMAND1 + 10},
    {"Command12", Kind::Button,  "L",        2640, 3240, 255,  255,  12, IDC_COMMAND1 + 11},
    {"Command13", Kind::Button,  "M",        2880, 3240, 255,  255,  13, IDC_COMMAND1 + 12},
    {"Command14", Kind::Button,  "N",        3120, 3240, 255,  255,  14, IDC_COMMAND1 + 13},
    {"Command15", Kind::Button,  "O",        3360, 3240, 255,  255,  15, IDC_COMMAND1 + 14},
    {"Command16", Kind::Button,  "P",        3600, 3240, 255,  255,  16, IDC_COMMAND1 + 15},
    {"Command17", Kind::Button,  "Q",        3840, 3240, 255,  255,  17, IDC_COMMAND1 + 16},
    {"Command18", Kind::Button,  "R",        4080, 3240, 255,  255,  18, IDC_COMMAND1 + 17},
    {"Command19", Kind::Button,  "S",        4320, 3240, 255,  255,  19, IDC_COMMAND1 + 18},
    {"Command20", Kind::Button,  "T",        4560, 3240, 255,  255,  20, IDC_COMMAND1 + 19},
    {"Command21", Kind::Button,  "U",        4800, 3240, 255,  255,  21, IDC_COMMAND1 + 20},
    {"Command22", Kind::Button,  "V",        5040, 3240, 255,  255,  22, IDC_COMMAND1 + 21},
    {"Command23", Kind::Button,  "W",        5280, 3240, 255,  255,  23, IDC_COMMAND1 + 22},
    {"Command24", Kind::Button,  "X",        5520, 3240, 255,  255,  24, IDC_COMMAND1 + 23},
    {"Command25", Kind::Button,  "Y",        5760, 3240, 255,  255,  25, IDC_COMMAND1 + 24},
    {"Command26", Kind::Button,  "Z",        6000, 3240, 255,  255,  26, IDC_COMMAND1 + 25},
    {"Label1",    Kind::Label,   "Wordrope 1.1  -  words from SCOWL, by Kevin Atkinson",
                                             0,    3480, 6255, 255,  27, IDC_LABEL1},
    {"scherm",    Kind::Label,   "",         4200, 240,  1815, 255,  28, IDC_SCHERM},
    {"Command27", Kind::Button,  "New word", 4320, 1680, 1575, 255,  29, IDC_COMMAND27},
    {"Command28", Kind::Button,  "Help",     4320, 2160, 1575, 255,  30, IDC_COMMAND28},
    {"Command29", Kind::Button,  "End",      4320, 2640, 1575, 255,  31, IDC_COMMAND29},
}};
// clang-format on

int twipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

std::pair<int, int> screenDpi() {
    HDC screen = GetDC(nullptr);
    const std::pair<int, int> dpi{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace wordrope
