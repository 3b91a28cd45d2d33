// The main window's look: the control table, the screen resolution it is scaled by, the font.
#include "layout.h"

#include "resource.h"

#include <cstddef>

namespace wordrope {

// clang-format off
// In tab order: the picture box, the 26 letters, the credit line, scherm and the three commands.
const std::array<ControlSpec, 32> kControls = {{
    //  kind        caption     left  top   wide  high  id                      designer name
    {Kind::Picture, "",         0,    0,    3975, 3255, IDC_PICTURE1},       // Picture1
    {Kind::Button,  "A",        0,    3240, 255,  255,  IDC_COMMAND1 + 0},   // Command1
    {Kind::Button,  "B",        240,  3240, 255,  255,  IDC_COMMAND1 + 1},   // Command2
    {Kind::Button,  "C",        480,  3240, 255,  255,  IDC_COMMAND1 + 2},   // Command3
    {Kind::Button,  "D",        720,  3240, 255,  255,  IDC_COMMAND1 + 3},   // Command4
    {Kind::Button,  "E",        960,  3240, 255,  255,  IDC_COMMAND1 + 4},   // Command5
    {Kind::Button,  "F",        1200, 3240, 255,  255,  IDC_COMMAND1 + 5},   // Command6
    {Kind::Button,  "G",        1440, 3240, 255,  255,  IDC_COMMAND1 + 6},   // Command7
    {Kind::Button,  "H",        1680, 3240, 255,  255,  IDC_COMMAND1 + 7},   // Command8
    {Kind::Button,  "I",        1920, 3240, 255,  255,  IDC_COMMAND1 + 8},   // Command9
    {Kind::Button,  "J",        2160, 3240, 255,  255,  IDC_COMMAND1 + 9},   // Command10
    {Kind::Button,  "K",        2400, 3240, 255,  255,  IDC_COMMAND1 + 10},  // Command11
    {Kind::Button,  "L",        2640, 3240, 255,  255,  IDC_COMMAND1 + 11},  // Command12
    {Kind::Button,  "M",        2880, 3240, 255,  255,  IDC_COMMAND1 + 12},  // Command13
    {Kind::Button,  "N",        3120, 3240, 255,  255,  IDC_COMMAND1 + 13},  // Command14
    {Kind::Button,  "O",        3360, 3240, 255,  255,  IDC_COMMAND1 + 14},  // Command15
    {Kind::Button,  "P",        3600, 3240, 255,  255,  IDC_COMMAND1 + 15},  // Command16
    {Kind::Button,  "Q",        3840, 3240, 255,  255,  IDC_COMMAND1 + 16},  // Command17
    {Kind::Button,  "R",        4080, 3240, 255,  255,  IDC_COMMAND1 + 17},  // Command18
    {Kind::Button,  "S",        4320, 3240, 255,  255,  IDC_COMMAND1 + 18},  // Command19
    {Kind::Button,  "T",        4560, 3240, 255,  255,  IDC_COMMAND1 + 19},  // Command20
    {Kind::Button,  "U",        4800, 3240, 255,  255,  IDC_COMMAND1 + 20},  // Command21
    {Kind::Button,  "V",        5040, 3240, 255,  255,  IDC_COMMAND1 + 21},  // Command22
    {Kind::Button,  "W",        5280, 3240, 255,  255,  IDC_COMMAND1 + 22},  // Command23
    {Kind::Button,  "X",        5520, 3240, 255,  255,  IDC_COMMAND1 + 23},  // Command24
    {Kind::Button,  "Y",        5760, 3240, 255,  255,  IDC_COMMAND1 + 24},  // Command25
    {Kind::Button,  "Z",        6000, 3240, 255,  255,  IDC_COMMAND1 + 25},  // Command26
    {Kind::Label,   "Wordrope 1.1  -  words from SCOWL, by Kevin Atkinson",
                                0,    3480, 6255, 255,  IDC_LABEL1},         // Label1
    {Kind::Label,   "",         4200, 240,  1815, 255,  IDC_SCHERM},         // scherm
    {Kind::Button,  "New word", 4320, 1680, 1575, 255,  IDC_COMMAND27},      // Command27
    {Kind::Button,  "Help",     4320, 2160, 1575, 255,  IDC_COMMAND28},      // Command28
    {Kind::Button,  "End",      4320, 2640, 1575, 255,  IDC_COMMAND29},      // Command29
}};
// clang-format on

int twipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

std::pair<int, int> screenDpi() {
    HDC screen = GetDC(nullptr);
    const std::pair<int, int> dpi{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
    ReleaseDC(nullptr, screen);
    return dpi;
}

HFONT uiFont(SystemQuery query) {
    // Windows XP knows the structure without its last member, iPaddedBorderWidth (Vista on), and
    // refuses any other size; every later Windows takes the shorter one too.
    constexpr UINT kSizeXpTakes = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = kSizeXpTakes;
    if (query(SPI_GETNONCLIENTMETRICS, kSizeXpTakes, &metrics, 0))
        if (HFONT f = CreateFontIndirectA(&metrics.lfMessageFont)) return f;
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace wordrope
