// The window's font as each Windows answers for it: Windows XP takes the metrics' older, shorter
// size only and answers for the system's DPI; Windows 10 answers for any DPI; a system may refuse
// to say at all. Wine answers like Windows 10 whatever it imitates, so the others are played by
// stand-ins here. Each stand-in's font is "Tahoma", 11 pixels high at 96 DPI.
#include "layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using wordrope::SystemMetrics;
using wordrope::uiFont;

const UINT kXpSize = 500;  // NONCLIENTMETRICSW as Windows XP defines it, without iPaddedBorderWidth

// Answers for the system's DPI, 96, like a Windows that takes these sizes of the structure.
template <UINT... Sizes>
BOOL WINAPI takes(UINT action, UINT size, PVOID out, UINT) {
    auto* metrics = static_cast<NONCLIENTMETRICSW*>(out);
    if (action != SPI_GETNONCLIENTMETRICS || metrics->cbSize != size || ((size != Sizes) && ...))
        return FALSE;
    metrics->lfMessageFont = {.lfHeight = -11, .lfFaceName = L"Tahoma"};
    return TRUE;
}

// Answers for any DPI, like Windows 10.
BOOL WINAPI forAnyDpi(UINT action, UINT size, PVOID out, UINT, UINT dpi) {
    auto* metrics = static_cast<NONCLIENTMETRICSW*>(out);
    if (action != SPI_GETNONCLIENTMETRICS || size != sizeof *metrics) return FALSE;
    metrics->lfMessageFont = {.lfHeight = MulDiv(-11, static_cast<int>(dpi), 96), .lfFaceName = L"Tahoma"};
    return TRUE;
}

TEST(UiFont, IsTheSystemsMessageFontForTheScreensDpiFromXpOnElseTheDialogFont) {
    LOGFONTW dialog = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof dialog, &dialog);
    const std::wstring dialogFace = dialog.lfFaceName;
    const struct {
        const char* windows;
        SystemMetrics system;
        std::wstring face;
        LONG heightAt96;
    } cases[] = {
        {"XP", {takes<kXpSize>, nullptr, 96}, L"Tahoma", -11},
        {"Vista to 8.1", {takes<kXpSize, sizeof(NONCLIENTMETRICSW)>, nullptr, 96}, L"Tahoma", -11},
        {"10 and 11", {takes<>, forAnyDpi, 96}, L"Tahoma", -11},
        {"one that will not say", {takes<>, nullptr, 96}, dialogFace, dialog.lfHeight},
    };
    for (const auto& c : cases) {
        for (const int dpi : {96, 144, 192}) {
            HFONT font = uiFont(dpi, c.system);
            LOGFONTW got = {};
            GetObjectW(font, sizeof got, &got);
            EXPECT_EQ(got.lfFaceName, c.face) << c.windows << " at " << dpi;
            EXPECT_EQ(got.lfHeight, MulDiv(c.heightAt96, dpi, 96)) << c.windows << " at " << dpi;
            DeleteObject(font);
        }
    }
}

}  // namespace
