// The main window's look: the control table, the dots per inch it is scaled by, the font.
#include "layout.h"

#include "dll_search.h"
#include "resource.h"
#include "version.h"

#include <cstddef>

namespace wordrope {

// clang-format off
// In tab order: the picture box, the 26 letters, the credit line, scherm and the three commands.
const std::array<ControlRow, 32> kControlTable = {{
    //  kind        caption     left  top   wide  high  id                   // designer name
    {Kind::Picture, "",         0,    0,    3975, 3255, IDC_GALLOWS},        // Picture1
    {Kind::Button,  "A",        0,    3240, 255,  255,  IDC_LETTER_A + 0},   // Command1
    {Kind::Button,  "B",        240,  3240, 255,  255,  IDC_LETTER_A + 1},   // Command2
    {Kind::Button,  "C",        480,  3240, 255,  255,  IDC_LETTER_A + 2},   // Command3
    {Kind::Button,  "D",        720,  3240, 255,  255,  IDC_LETTER_A + 3},   // Command4
    {Kind::Button,  "E",        960,  3240, 255,  255,  IDC_LETTER_A + 4},   // Command5
    {Kind::Button,  "F",        1200, 3240, 255,  255,  IDC_LETTER_A + 5},   // Command6
    {Kind::Button,  "G",        1440, 3240, 255,  255,  IDC_LETTER_A + 6},   // Command7
    {Kind::Button,  "H",        1680, 3240, 255,  255,  IDC_LETTER_A + 7},   // Command8
    {Kind::Button,  "I",        1920, 3240, 255,  255,  IDC_LETTER_A + 8},   // Command9
    {Kind::Button,  "J",        2160, 3240, 255,  255,  IDC_LETTER_A + 9},   // Command10
    {Kind::Button,  "K",        2400, 3240, 255,  255,  IDC_LETTER_A + 10},  // Command11
    {Kind::Button,  "L",        2640, 3240, 255,  255,  IDC_LETTER_A + 11},  // Command12
    {Kind::Button,  "M",        2880, 3240, 255,  255,  IDC_LETTER_A + 12},  // Command13
    {Kind::Button,  "N",        3120, 3240, 255,  255,  IDC_LETTER_A + 13},  // Command14
    {Kind::Button,  "O",        3360, 3240, 255,  255,  IDC_LETTER_A + 14},  // Command15
    {Kind::Button,  "P",        3600, 3240, 255,  255,  IDC_LETTER_A + 15},  // Command16
    {Kind::Button,  "Q",        3840, 3240, 255,  255,  IDC_LETTER_A + 16},  // Command17
    {Kind::Button,  "R",        4080, 3240, 255,  255,  IDC_LETTER_A + 17},  // Command18
    {Kind::Button,  "S",        4320, 3240, 255,  255,  IDC_LETTER_A + 18},  // Command19
    {Kind::Button,  "T",        4560, 3240, 255,  255,  IDC_LETTER_A + 19},  // Command20
    {Kind::Button,  "U",        4800, 3240, 255,  255,  IDC_LETTER_A + 20},  // Command21
    {Kind::Button,  "V",        5040, 3240, 255,  255,  IDC_LETTER_A + 21},  // Command22
    {Kind::Button,  "W",        5280, 3240, 255,  255,  IDC_LETTER_A + 22},  // Command23
    {Kind::Button,  "X",        5520, 3240, 255,  255,  IDC_LETTER_A + 23},  // Command24
    {Kind::Button,  "Y",        5760, 3240, 255,  255,  IDC_LETTER_A + 24},  // Command25
    {Kind::Button,  "Z",        6000, 3240, 255,  255,  IDC_LETTER_A + 25},  // Command26
    {Kind::Label,   "Wordrope " WORDROPE_VERSION "  -  words from SCOWL, by Kevin Atkinson",
                                0,    3480, 6255, 255,  IDC_CREDITS},        // Label1
    {Kind::Label,   "",         4200, 240,  1815, 255,  IDC_SCHERM},         // scherm
    {Kind::Button,  "New word", 4320, 1680, 1575, 255,  IDC_NEW_WORD},       // Command27
    {Kind::Button,  "Help",     4320, 2160, 1575, 255,  IDC_SHOW_HELP},      // Command28
    {Kind::Button,  "End",      4320, 2640, 1575, 255,  IDC_END_GAME},       // Command29
}};
// clang-format on

int twipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

namespace {

// A function of user32 that Windows XP lacks, looked up at run time so that the program still
// starts there; null where the system has none. Asked for only at start-up and on a DPI change.
template <class Function>
Function* fromUser32(const char* name) {
    return systemFunction<Function>(L"user32.dll", name);
}

}  // namespace

int systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int windowDpi(HWND window) {
    const auto forWindow = fromUser32<UINT WINAPI(HWND)>("GetDpiForWindow");
    const UINT dpi = forWindow ? forWindow(window) : 0;
    return dpi ? static_cast<int>(dpi) : systemDpi();
}

RECT windowRectAt(int dpi, DWORD style) {
    RECT r = {twipsToPixels(kWindowLeft, dpi), twipsToPixels(kWindowTop, dpi),
              twipsToPixels(kWindowLeft + kClientWidth, dpi), twipsToPixels(kWindowTop + kClientHeight, dpi)};
    // The frame and title bar grow with the DPI too: Windows 10 sizes them for any DPI.
    const auto forDpi = fromUser32<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (!forDpi || !forDpi(&r, style, FALSE, 0, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, FALSE, 0);
    return r;
}

SystemMetrics systemMetrics() {
    return {SystemParametersInfoW,
            fromUser32<BOOL WINAPI(UINT, UINT, PVOID, UINT, UINT)>("SystemParametersInfoForDpi"),
            systemDpi()};
}

HFONT uiFont(int dpi, const SystemMetrics& system) {
    NONCLIENTMETRICSW metrics = {};
    LOGFONTW& font = metrics.lfMessageFont;
    int fontDpi = dpi;
    metrics.cbSize = sizeof metrics;
    if (!system.queryForDpi ||
        !system.queryForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
        // Windows XP knows the structure without its last member, iPaddedBorderWidth (Vista on),
        // and refuses any other size; every later Windows takes the shorter one too. The font it
        // gives is for the system's DPI, and is scaled from there.
        constexpr UINT kSizeXpTakes = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
        metrics.cbSize = kSizeXpTakes;
        if (!system.query(SPI_GETNONCLIENTMETRICS, kSizeXpTakes, &metrics, 0))
            GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        fontDpi = system.dpi;
    }
    font.lfHeight = MulDiv(font.lfHeight, dpi, fontDpi);
    return CreateFontIndirectW(&font);
}

}  // namespace wordrope
