// The window's parts that need no game, under Wine. The font as each Windows answers for it:
// Windows XP takes the metrics' older, shorter size only and answers for the system's DPI;
// Windows 10 answers for any DPI; a system may refuse to say at all. Wine answers like Windows 10
// whatever it imitates, so the others are played by stand-ins here, each with "Tahoma", 11 pixels
// high at 96 DPI. The pictures: every kind the check passes drawn by the system as the window
// hands it over. And what Picture1 gives a screen reader, asked in this process.
#include "bitmap.h"
#include "files.h"
#include "layout.h"
#include "picture_box.h"
#include "support.h"

#include <oleacc.h>

#include <gtest/gtest.h>

#include <cstdlib>
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
    const struct {
        const char* windows;
        SystemMetrics system;
        std::wstring face;
        LONG heightAt96;
    } cases[] = {
        {"XP (Vista to 8.1 take its size too)", {takes<kXpSize>, nullptr, 96}, L"Tahoma", -11},
        {"10 and 11", {takes<>, forAnyDpi, 96}, L"Tahoma", -11},
        {"one that will not say", {takes<>, nullptr, 96}, dialog.lfFaceName, dialog.lfHeight},
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

// The system's bitmap of a picture, read back at (x, y); CLR_INVALID if there is none.
COLORREF drawn(const wordrope::Bitmap& picture, int x, int y) {
    HBITMAP bitmap = wordrope::bitmapFromFile(picture);
    if (!bitmap) return CLR_INVALID;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return c;
}

TEST(Pictures, EveryKindTheCheckPassesShowsAndSoDoTheShippedStages) {
    using wordrope::test::kCaseColour;
    for (const auto& c : wordrope::test::pictureCases()) {
        wordrope::Bitmap picture;
        picture.bytes.assign(c.bytes.begin(), c.bytes.end());
        ASSERT_EQ(wordrope::bitmapProblem(picture.bytes.data(), picture.bytes.size(), &picture), "")
            << c.name;
        const COLORREF got = drawn(picture, 6, 2);
        const auto close = [](int a, unsigned b) { return std::abs(a - static_cast<int>(b & 0xFF)) <= 8; };
        EXPECT_TRUE(got != CLR_INVALID && close(GetRValue(got), kCaseColour >> 16) &&
                    close(GetGValue(got), kCaseColour >> 8) && close(GetBValue(got), kCaseColour))
            << c.name << ": " << std::hex << got;
    }
    const char* folder = std::getenv("WORDROPE_GAME_DIR");
    ASSERT_NE(folder, nullptr) << "WORDROPE_GAME_DIR names the game folder (ctest sets it)";
    const std::string game = "Z:" + std::string(folder);
    for (int stage = 1; stage <= 9; ++stage) {
        const wordrope::Bitmap picture = wordrope::readBitmapFile(game + wordrope::stageName(stage));
        EXPECT_EQ(drawn(picture, 34, 100), RGB(0, 0, 255)) << "stage " << stage << "'s blue post";
    }
}

// A screen reader's question to the box, answered by the box itself.
IAccessible* asked(HWND box) {
    IAccessible* object = nullptr;
    const LRESULT answer = SendMessageW(box, WM_GETOBJECT, 0, OBJID_CLIENT);
    if (answer) ObjectFromLresult(answer, __uuidof(IAccessible), 0, reinterpret_cast<void**>(&object));
    return object;
}

TEST(PictureAccessible, OneObjectAnswersEveryQuestionAndFailsOnceTheBoxHasGone) {
    CoInitialize(nullptr);
    ASSERT_TRUE(wordrope::registerPictureBox(GetModuleHandleW(nullptr)));
    HWND box = CreateWindowExA(0, wordrope::kPictureClass, "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(box, nullptr);
    wordrope::setPicture(box, nullptr, "Gallows: no misses");
    IAccessible* first = asked(box);
    IAccessible* again = asked(box);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(again, first) << "the same object for every question";
    VARIANT self = {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    ASSERT_EQ(first->get_accName(self, &name), S_OK);
    EXPECT_STREQ(name, L"Gallows: no misses");
    SysFreeString(name);

    DestroyWindow(box);
    VARIANT role = {};
    LONG x, y, w, h;
    EXPECT_EQ(first->get_accName(self, &name), E_FAIL) << "a reader holding it after the box has gone";
    EXPECT_EQ(first->get_accRole(self, &role), E_FAIL);
    EXPECT_EQ(first->accLocation(&x, &y, &w, &h, self), E_FAIL);
    if (again) again->Release();
    first->Release();
    CoUninitialize();
}

}  // namespace
