// The window's font as each Windows answers for it: Windows XP takes the metrics' older, shorter
// size only, later Windows take both, and a system may refuse to say at all. Wine answers like a
// later Windows whatever it imitates, so XP's answer is played by a stand-in here.
#include "layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using wordrope::SystemQuery;
using wordrope::uiFont;

const UINT kXpSize = 340;     // NONCLIENTMETRICSA as Windows XP defines it
const UINT kVistaSize = 344;  // with iPaddedBorderWidth, from Vista on

// Answers like a Windows that takes these sizes of the structure, with "Tahoma" as its font.
template <UINT... Sizes>
BOOL WINAPI windowsTaking(UINT action, UINT size, PVOID out, UINT) {
    auto* metrics = static_cast<NONCLIENTMETRICSA*>(out);
    if (action != SPI_GETNONCLIENTMETRICS || metrics->cbSize != size || ((size != Sizes) && ...))
        return FALSE;
    std::memset(reinterpret_cast<char*>(metrics) + sizeof metrics->cbSize, 0, size - sizeof metrics->cbSize);
    metrics->lfMessageFont.lfHeight = -11;
    std::strcpy(metrics->lfMessageFont.lfFaceName, "Tahoma");
    return TRUE;
}

std::string faceOf(HFONT font) {
    LOGFONTA lf = {};
    GetObjectA(font, sizeof lf, &lf);
    return lf.lfFaceName;
}

TEST(UiFont, IsTheSystemsMessageFontOnEveryWindowsFromXpOnElseTheDialogFont) {
    struct Case {
        const char* windows;
        SystemQuery query;
        std::string font;
    };
    const HFONT dialogFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (const Case& c : {Case{"XP", windowsTaking<kXpSize>, "Tahoma"},
                          Case{"Vista and later", windowsTaking<kXpSize, kVistaSize>, "Tahoma"},
                          Case{"one that will not say", windowsTaking<>, "the dialog font"}}) {
        HFONT font = uiFont(c.query);
        EXPECT_EQ(font == dialogFont ? "the dialog font" : faceOf(font), c.font) << c.windows;
        DeleteObject(font);
    }
    EXPECT_EQ(sizeof(NONCLIENTMETRICSA), kVistaSize) << "the headers' structure is the later one";
}

}  // namespace
