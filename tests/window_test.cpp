// The window in this process, under Wine: a real Form1 on a folder of its own, laid out from the
// table at the screen's DPI and again on a live DPI change, in the visual style or the classic look
// as the prefix has it, painted in the system's colours, and heard by a screen reader asking here.
// Its parts: the font as each Windows answers for it (Windows XP takes the metrics' older, shorter
// size only and answers for the system's DPI; Windows 10 answers for any DPI; a system may refuse
// to say at all; Wine answers like Windows 10, so the others are played by stand-ins, each with
// "Tahoma", 11 pixels high at 96 DPI); every kind of picture the check passes, drawn by the system
// as the window hands it over.
#include "bitmap.h"
#include "dll_search.h"
#include "files.h"
#include "form1.h"
#include "layout.h"
#include "picture_box.h"
#include "resource.h"
#include "screen.h"
#include "support.h"
#include "utf8.h"
#include "version.h"

#include <windowsx.h>
// These need windows.h before them.
#include <oleacc.h>
#include <uxtheme.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using wordrope::narrow;
using wordrope::SystemMetrics;
using wordrope::uiFont;
using wordrope::widen;
using namespace wordrope::test;

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

// Where Windows cannot be told to search the system folder alone (XP; Vista and 7 without
// KB2533623), the game loads from the system folder first each DLL that would be looked for by bare
// name: a later load by that name gets the system's module, not one planted where the search looks
// first (here the folder SetDllDirectory names, which it takes before the system's).
TEST(DllSearch, ADllLoadedFromTheSystemFolderFirstIsNeverTakenFromBesideTheProgram) {
    GameFolder folder;
    std::wstring dir = widen(folder.dir());
    ASSERT_TRUE(CopyFileW((plantedFolder() + L"\\planted.dll").c_str(), (dir + L"\\mpr.dll").c_str(), FALSE));
    const auto folderOf = [](HMODULE module) {
        wchar_t path[MAX_PATH] = {};
        const std::string found = narrow(CharLowerW((GetModuleFileNameW(module, path, MAX_PATH), path)));
        return found.substr(0, found.rfind('\\'));
    };
    PreferFoundDlls prefer(nullptr, {L"mpr"});
    SetDllDirectoryW(dir.c_str());
    HMODULE found = LoadLibraryW(L"mpr.dll");
    EXPECT_EQ(folderOf(found), narrow(CharLowerW(dir.data()))) << "the search takes the planted DLL";
    FreeLibrary(found);
    wordrope::loadFromSystemFolder({L"mpr.dll"});
    EXPECT_EQ(folderOf(LoadLibraryW(L"mpr.dll")), folderOf(GetModuleHandleW(L"kernel32.dll")));
    SetDllDirectoryW(nullptr);
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
    GameFolder cases;
    for (const auto& c : wordrope::test::pictureCases()) {
        cases.write("case.bmp", c.bytes);
        const COLORREF got = drawn(wordrope::readBitmapFile(cases.path("case.bmp")), 6, 2);
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

// A control as a player sees it: its class, its rectangle in the form's client area in pixels,
// whether Tab stops at it, and its text.
struct Control {
    std::string kind;
    int left, top, width, height;
    bool tab;
    std::string text;
    bool operator==(const Control&) const = default;
};
void PrintTo(const Control& c, std::ostream* out) {
    *out << c.kind << " " << c.left << " " << c.top << " " << c.width << " " << c.height
         << (c.tab ? " tab " : " - ") << c.text;
}

std::map<int, Control> controlsOf(HWND form) {
    std::map<int, Control> out;
    for (HWND h = GetWindow(form, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
        out[GetDlgCtrlID(h)] = {
            classOf(h),       r.left,           r.top,
            r.right - r.left, r.bottom - r.top, (GetWindowLongA(h, GWL_STYLE) & WS_TABSTOP) != 0,
            textOf(h)};
    }
    return out;
}

// The controls at 96 DPI in pixels (15 twips a pixel), as the designer placed them.
std::map<int, Control> layoutAt96() {
    std::map<int, Control> layout = {
        {IDC_GALLOWS, {"WordropePicture", 0, 0, 265, 217, true, ""}},
        {IDC_CREDITS,
         {"Static", 0, 232, 417, 17, false,
          "Wordrope " WORDROPE_VERSION "  -  words from SCOWL, by Kevin Atkinson"}},
        {IDC_SCHERM, {"Static", 280, 16, 121, 17, false, ""}},
        {IDC_NEW_WORD, {"Button", 288, 112, 105, 17, true, "New word"}},
        {IDC_SHOW_HELP, {"Button", 288, 144, 105, 17, true, "Help"}},
        {IDC_END_GAME, {"Button", 288, 176, 105, 17, true, "End"}}};
    for (char c = 'a'; c <= 'z'; ++c)
        layout[letter(c)] = {
            "Button", 16 * (c - 'a'), 216, 17, 17, true, std::string(1, char(c - 'a' + 'A'))};
    return layout;
}

// The prefix's kind (scripts/wine.sh): its screen's DPI, and whether it wears a visual style.
std::string prefixKind() {
    const char* kind = std::getenv("WORDROPE_PREFIX_KIND");
    return kind ? kind : "test";
}

// The WM_THEMECHANGED messages controls of this thread were sent while it counts.
int rethemed = 0;
LRESULT CALLBACK countRethemes(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_THEMECHANGED && GetParent(call->hwnd)) ++rethemed;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        SetCursorPos(0, 0);  // off the window: no button is drawn hot
        folder.writeList("cab\r\n");
        for (int s = 1; s <= 9; ++s)
            folder.write(wordrope::stageName(s).substr(1), picture(40, 30, kStage[s]));
        form = std::make_unique<wordrope::Form1>(GetModuleHandleW(nullptr), folder.dir());
        ASSERT_TRUE(form->create(SW_SHOWNORMAL));
        hwnd = form->window();
        ASSERT_TRUE(waitUntil([&] {
            return pixel(IDC_GALLOWS) == kStage[0] && inkOf(control(IDC_END_GAME)).first >= 0;
        })) << "the window painted, captions and all";
    }
    void TearDown() override {
        form.reset();
        waitUntil([] { return false; }, nullptr, 0.05);  // what the window's end left in the queue
    }

    HWND control(int id) const { return GetDlgItem(hwnd, id); }
    COLORREF pixel(int id, int x = 5, int y = 5) const { return pixelOf(control(id), x, y); }
    // A click on a button, as the button itself turns it into a command.
    void click(int id) const { SendMessageW(control(id), BM_CLICK, 0, 0); }
    void newWord() const {
        click(IDC_NEW_WORD);
        EXPECT_EQ(textOf(control(IDC_SCHERM)), "...");
    }

    // Every control where the table puts it at `dpi`: at 96 exactly, elsewhere within a pixel of
    // that scaled; each control with a caption in the interface font for that DPI. On a
    // `coldStart`, the client area too, where and as large as the table says.
    void expectLayoutAt(int dpi, bool coldStart = false) const {
        const int slack = dpi == 96 ? 0 : 1;
        const auto close = [&](int got, int at96) { return std::abs(got - at96 * dpi / 96.0) <= slack; };
        RECT client;
        GetClientRect(hwnd, &client);
        POINT origin = {0, 0};
        ClientToScreen(hwnd, &origin);
        EXPECT_TRUE(!coldStart || (close(origin.x, 91) && close(origin.y, 129) && close(client.right, 419) &&
                                   close(client.bottom, 248)))
            << "the client area at " << origin.x << ", " << origin.y << ", " << client.right << " x "
            << client.bottom << " at " << dpi << " DPI";
        const auto controls = controlsOf(hwnd);
        EXPECT_EQ(controls.size(), layoutAt96().size()) << "no control more";
        NONCLIENTMETRICSW metrics = {.cbSize = sizeof metrics};
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        const LONG height = MulDiv(metrics.lfMessageFont.lfHeight, dpi, wordrope::systemDpi());
        for (const auto& [id, want] : layoutAt96()) {
            const Control& got = controls.at(id);
            EXPECT_TRUE(got.kind == want.kind && got.tab == want.tab &&
                        (got.text == want.text || id == IDC_SCHERM) && close(got.left, want.left) &&
                        close(got.top, want.top) && close(got.width, want.width) &&
                        close(got.height, want.height))
                << "control " << id << " at " << dpi << " DPI is " << ::testing::PrintToString(got)
                << "; at 96 it is " << ::testing::PrintToString(want);
            LOGFONTW font = {};
            if (id == IDC_GALLOWS) continue;
            GetObjectW(GetWindowFont(control(id)), sizeof font, &font);
            EXPECT_TRUE(std::wstring(font.lfFaceName) == metrics.lfMessageFont.lfFaceName &&
                        font.lfHeight == height)
                << "control " << id << "'s font " << wordrope::narrow(font.lfFaceName) << " " << font.lfHeight
                << " at " << dpi << " DPI";
        }
    }
    // Picture1 shows a stage picture of the test folder (40 x 30 pixels) at `dpi`, grey beyond it.
    void expectStageAt(int stage, int dpi) const {
        const int right = 40 * dpi / 96, bottom = 30 * dpi / 96;
        EXPECT_TRUE(waitUntil([&] { return pixel(IDC_GALLOWS, right - 2, bottom - 2) == kStage[stage]; }))
            << "stage " << stage << " at " << dpi << " DPI";
        EXPECT_EQ(pixel(IDC_GALLOWS, right + 2, 10), kGrey);
        EXPECT_EQ(pixel(IDC_GALLOWS, 10, bottom + 2), kGrey);
    }
    // Every button made by Common Controls 6 and drawn over its whole size, themed (a white face) or
    // classic (the system's button face); the window answers a button's question for its ground
    // with its own.
    void expectButtonsDrawn(bool themed) const {
        const COLORREF ground = GetSysColor(COLOR_BTNFACE);
        for (const auto& [id, button] : layoutAt96()) {
            if (button.kind != "Button") continue;
            HWND h = control(id);
            RECT r = {};
            GetClientRect(h, &r);
            wchar_t atom[256] = {};
            GlobalGetAtomNameW(static_cast<ATOM>(GetClassLongW(h, GCW_ATOM)), atom, 256);
            const std::string cls = wordrope::narrow(atom);
            EXPECT_TRUE(cls.starts_with("6.") && cls.ends_with("!Button"))
                << "button " << id << " is a " << cls;
            EXPECT_EQ(GetPropW(h, L"ux_theme") != nullptr, themed)
                << "button " << id << " drawn by the theme engine";
            HDC dc = GetDC(h);
            LOGBRUSH brush = {};
            GetObjectW(FORWARD_WM_CTLCOLORBTN(hwnd, dc, h, SendMessageW), sizeof brush, &brush);
            ReleaseDC(h, dc);
            EXPECT_EQ(brush.lbColor, ground) << "the brush for button " << id << " is the window's ground";
            // The bottom edge: a frame line either way, never the ground, once the button is painted.
            COLORREF frame = ground;
            EXPECT_TRUE(waitUntil([&] { return (frame = pixel(id, r.right / 2, r.bottom - 1)) != ground; }))
                << "button " << id << " painted to its bottom edge";
            EXPECT_EQ(pixel(id, r.right - 3, r.bottom / 2) != ground, themed) << "button " << id << "'s face";
        }
    }

    GameFolder folder;
    std::unique_ptr<wordrope::Form1> form;
    HWND hwnd = nullptr;
};

// At the prefix's DPI (96, or 144 in its own prefix: Wine 10 reads it once per wineserver), in its
// look (the visual style, or the classic one in its own prefix): the table in twips, the interface
// font, the start-up picture clipped, the stages at natural size on grey, grown with the DPI.
TEST_F(Form1Test, LaysOutTheTableInTwipsAtTheScreensDpiInTheSystemsLook) {
    const int dpi = prefixKind() == "dpi144" ? 144 : 96;
    ASSERT_EQ(wordrope::systemDpi(), dpi) << "the prefix's screen";
    const bool themed = prefixKind() != "classic";
    ASSERT_EQ(IsThemeActive() != FALSE, themed) << "the prefix's visual style is as scripts/wine.sh set it";
    expectLayoutAt(dpi, true);
    expectButtonsDrawn(themed);
    EXPECT_EQ(pixel(IDC_GALLOWS, 34 * dpi / 96, 100 * dpi / 96), RGB(0, 0, 255));  // the blue post
    EXPECT_EQ(pixel(IDC_GALLOWS, 264 * dpi / 96, 216 * dpi / 96), kStage[0]);      // clipped
    newWord();
    expectStageAt(1, dpi);
}

// Moved to a screen at 144 DPI and back, as Windows 10 tells a per-monitor aware program: the
// window takes the rectangle suggested, lays itself out as a cold start there does, with the font
// and pictures for it, tells each button to open its theme again, and comes back to exactly the
// first layout.
TEST_F(Form1Test, ALiveDpiChangeLaysOutAgainAndBackWithoutDrift) {
    newWord();
    const auto first = controlsOf(hwnd);
    RECT before;
    GetWindowRect(hwnd, &before);
    const auto changeTo = [&](int dpi, RECT suggested) {
        rethemed = 0;
        HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, countRethemes, nullptr, GetCurrentThreadId());
        SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        UnhookWindowsHookEx(hook);
        EXPECT_EQ(rethemed, 29) << "buttons told to open their theme again at " << dpi;
        RECT now;
        GetWindowRect(hwnd, &now);
        EXPECT_TRUE(EqualRect(&now, &suggested)) << "as Windows suggested";
    };
    const LONG width = before.right - before.left, height = before.bottom - before.top;
    changeTo(144, {before.left, before.top, before.left + width * 3 / 2, before.top + height * 3 / 2});
    expectLayoutAt(144);
    expectButtonsDrawn(prefixKind() != "classic");
    click(letter('x'));
    expectStageAt(2, 144);

    changeTo(96, before);
    EXPECT_EQ(controlsOf(hwnd), first) << "back where it started";
    expectLayoutAt(96);
    click(letter('y'));
    expectStageAt(3, 96);
}

// The mask stands in the window's colours, the labels on the window's ground; another colour
// scheme chosen while the game runs paints them again in its colours.
TEST_F(Form1Test, TheLabelsStandInTheSystemsColoursAndFollowAChange) {
    newWord();
    click(letter('c'));
    const auto expectColours = [&](COLORREF window, COLORREF text, COLORREF face) {
        EXPECT_TRUE(waitUntil([&] {
            return pixel(IDC_SCHERM, 110, 8) == window && inkOf(control(IDC_SCHERM), 1).darkest == text &&
                   pixel(IDC_CREDITS, 410, 8) == face;
        })) << "scherm's ground, scherm's text and Label1's ground: "
            << std::hex << pixel(IDC_SCHERM, 110, 8) << " " << inkOf(control(IDC_SCHERM), 1).darkest << " "
            << pixel(IDC_CREDITS, 410, 8);
    };
    const int indices[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE};
    COLORREF old[3], scheme[3] = {RGB(255, 255, 200), RGB(0, 0, 160), RGB(200, 230, 255)};
    for (int i = 0; i < 3; ++i) old[i] = GetSysColor(indices[i]);
    ASSERT_NE(old[0], old[2]) << "the window's colour and the button face";
    expectColours(old[0], old[1], old[2]);
    SetSysColors(3, indices, scheme);
    expectColours(scheme[0], scheme[1], scheme[2]);
    SetSysColors(3, indices, old);
}

// What a screen reader asking in this process hears: Picture1 a graphic named for its stage, the
// same object for every question; a reader that still holds that object once the window has gone
// gets an error from it.
TEST_F(Form1Test, AScreenReaderHearsPicture1AsAGraphicNamedForItsStage) {
    EXPECT_EQ(heard(control(IDC_GALLOWS)), (Heard{"Gallows: no game yet", ROLE_SYSTEM_GRAPHIC}));
    newWord();
    EXPECT_EQ(heard(control(IDC_GALLOWS)), (Heard{"Gallows: no misses", ROLE_SYSTEM_GRAPHIC}));

    const auto asked = [&] {
        IAccessible* object = nullptr;
        const LRESULT answer = SendMessageW(control(IDC_GALLOWS), WM_GETOBJECT, 0, OBJID_CLIENT);
        if (answer) ObjectFromLresult(answer, __uuidof(IAccessible), 0, reinterpret_cast<void**>(&object));
        return object;
    };
    IAccessible* first = asked();
    IAccessible* again = asked();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(again, first) << "the same object for every question";
    form.reset();
    VARIANT self = {}, role = {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    LONG x, y, w, h;
    EXPECT_EQ(first->get_accName(self, &name), E_FAIL) << "a reader holding it after the window has gone";
    EXPECT_EQ(first->get_accRole(self, &role), E_FAIL);
    EXPECT_EQ(first->accLocation(&x, &y, &w, &h, self), E_FAIL);
    again->Release();
    first->Release();
}

}  // namespace
