// End-to-end tests of wordrope.exe under Wine, for what only the real window shows. Each scenario
// starts the game in a folder of its own and plays it through the system's input queue (SendInput),
// as a player's mouse and keys do; what it shows is read back through the Win32 API and the screen.
// WORDROPE_SOAK_GAMES sets how many games the soak plays in one process (60). The case at 144 DPI runs
// on its own, in a prefix at 144 DPI (ctest's window_e2e_144dpi); the others at 96.
#include "e2e/game_hook.h"
#include "resource.h"
#include "support.h"
#include "utf8.h"
#include "version.h"

#include <windows.h>
// These need windows.h before them.
#include <oleacc.h>
#include <psapi.h>
#include <uxtheme.h>
// UI Automation's client: MinGW-w64 12 on (Debian 13) declares it; Debian 12's 10 has the header
// without IUIAutomation.
#if __has_include(<uiautomationclient.h>)
#include <uiautomationclient.h>
#endif
#ifdef __IUIAutomation_INTERFACE_DEFINED__
#define WORDROPE_HAS_UIA 1
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;
using wordrope::narrow;
using wordrope::widen;

namespace {

// The game's window is measured in the screen's pixels: this program must not see them scaled back
// to 96 DPI, as Wine 10 (like Windows) does for a program that does not say it is DPI aware.
const bool kDpiAware = SetProcessDPIAware();
// A screen reader's calls reach the game's accessible objects through COM.
const HRESULT kCom = CoInitialize(nullptr);

using namespace wordrope::test;
const std::string kQuestion =
    "|" + kAgainText + "|-|&Yes*,&No";  // the rest of the box, as describe() tells it
int letter(char c) { return IDC_LETTER_A + (c - 'a'); }

// Each stage picture of a test folder is one flat colour, so that a pixel tells the stage.
const COLORREF kStage[10] = {RGB(254, 253, 252),  // 0: the start-up picture's ground
                             RGB(200, 0, 0),     RGB(0, 200, 0),   RGB(0, 0, 200),
                             RGB(200, 200, 0),   RGB(200, 0, 200), RGB(0, 200, 200),
                             RGB(120, 60, 0),    RGB(60, 0, 120),  RGB(0, 120, 60)};
const COLORREF kGrey = RGB(192, 192, 192);

std::string picture(int width, int height, COLORREF c) {
    return wordrope::test::bitmapFile(width, height, GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
}

std::string textOf(HWND h) {
    wchar_t buf[4096] = {};
    GetWindowTextW(h, buf, 4096);
    return narrow(buf);
}

std::string classOf(HWND h) {
    char buf[64] = {};
    GetClassNameA(h, buf, sizeof buf);
    return buf;
}

void send(std::vector<INPUT> in) { SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)); }
INPUT key(WORD vk, DWORD flags = 0) { return {.type = INPUT_KEYBOARD, .ki = {.wVk = vk, .dwFlags = flags}}; }
void press(std::initializer_list<WORD> keys) {
    for (WORD k : keys) send({key(k), key(k, KEYEVENTF_KEYUP)});
}

// A message box as one line: "title|text|icon or -|buttons", the default button marked with *.
std::string describe(HWND box) {
    std::string text, icon = "-", buttons;
    for (HWND h = GetWindow(box, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(h);
        if (classOf(h) == "Button" && IsWindowVisible(h))
            buttons += (buttons.empty() ? "" : ",") + textOf(h) +
                       ((GetWindowLongA(h, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON ? "*" : "");
        else if (id == 0xFFFF)
            text = textOf(h);
        else if (id == 1088 && IsWindowVisible(h) && SendMessageA(h, STM_GETICON, 0, 0))  // the icon's place
            icon = "icon";
    }
    return textOf(box) + "|" + text + "|" + icon + "|" + buttons;
}

// A control as this test sees it: its class, its rectangle in the form's client area in pixels,
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

// The controls of a window by id.
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

// The window's controls as a player sees them at 96 DPI, in pixels (15 twips a pixel).
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

// A window's rectangle on the screen: left, top, right, bottom.
std::array<LONG, 4> windowRect(HWND h) {
    RECT r = {};
    GetWindowRect(h, &r);
    return {r.left, r.top, r.right, r.bottom};
}

// What a screen reader hears of a window: the name and role of its accessible object, asked from
// this process as a reader asks.
using Heard = std::pair<std::string, LONG>;
Heard heard(HWND h) {
    Heard out = {"(no object)", 0};
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(h, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))))
        return out;
    VARIANT self, role;
    VariantInit(&self);
    VariantInit(&role);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    out.first = object->get_accName(self, &name) == S_OK && name ? narrow(name) : "";  // S_FALSE: no name
    SysFreeString(name);
    if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4) out.second = role.lVal;
    object->Release();
    return out;
}

// The name changes announced for Picture1's client object, as a screen reader listening out of
// context gets them: the window each came from.
std::vector<HWND> nameChanges;
void CALLBACK onNameChange(HWINEVENTHOOK, DWORD, HWND h, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) nameChanges.push_back(h);
}

// Now and then, at any moment, Wine takes a megabyte more of a process's memory, for a while or for
// good, and gives it back in the same steps. The middle one of some figures of the game's memory
// leaves those out, and so does the steady growth: what the figures added between one sample and
// the next, but for steps of half a megabyte or more.
long long middle(std::vector<long long> figures) {
    std::nth_element(figures.begin(), figures.begin() + figures.size() / 2, figures.end());
    return figures[figures.size() / 2];
}
long long steadyGrowth(const std::vector<long long>& added) {
    long long sum = 0;
    for (const long long a : added) sum += std::abs(a) < (512 << 10) ? a : 0;
    return sum;
}
constexpr long long kQuestionBound = 64;  // bytes a screen reader's question may cost the game

// Whether the prefix wears a visual style: every one does but the classic one (scripts/wine.sh).
bool themedPrefix() {
    const char* kind = std::getenv("WORDROPE_PREFIX_KIND");
    return !kind || std::string(kind) != "classic";
}

// The ids of the 29 push buttons.
std::vector<int> buttons() {
    std::vector<int> ids = {IDC_NEW_WORD, IDC_SHOW_HELP, IDC_END_GAME};
    for (char c = 'a'; c <= 'z'; ++c) ids.push_back(letter(c));
    return ids;
}

// The window class a control was made of, by its atom: Common Controls 6 registers its button as
// "6.0.<build>!Button", user32 its own as "Button".
std::string classAtomOf(HWND h) {
    wchar_t name[256] = {};
    GlobalGetAtomNameW(static_cast<ATOM>(GetClassLongW(h, GCW_ATOM)), name, 256);
    return narrow(name);
}

// The folder's files and their contents.
std::map<fs::path, std::string> snapshot(const fs::path& folder) {
    std::map<fs::path, std::string> files;
    for (const auto& e : fs::directory_iterator(folder)) {
        std::ostringstream bytes;
        if (e.is_regular_file()) bytes << std::ifstream(e.path(), std::ios::binary).rdbuf();
        files[e.path().filename()] = bytes.str();
    }
    return files;
}

// Each test plays wordrope.exe in a folder of its own, with a word list and nine stage pictures.
class WindowTest : public ::testing::Test {
protected:
    // `stages`: a stage's file, where it is not a 40 x 30 picture of its colour; "" for none.
    void play(const std::string& words = "cab\r\n", std::map<int, std::string> stages = {},
              const std::string& folder = "game") {
        static int serial = 0;
        top = fs::temp_directory_path() /
              ("wordrope-e2e-" + std::to_string(GetTickCount()) + "-" + std::to_string(serial++));
        dir = top / widen(folder);
        fs::create_directories(dir);
        const wchar_t* game = _wgetenv(L"WORDROPE_GAME_DIR");
        ASSERT_NE(game, nullptr) << "WORDROPE_GAME_DIR names the game folder (ctest sets it)";
        fs::copy_file(fs::path(L"Z:" + std::wstring(game)) / L"wordrope.exe", dir / L"wordrope.exe");
        std::ofstream(dir / L"wlstdata.dat", std::ios::binary) << words;
        for (int s = 1; s <= 9; ++s)
            if (!stages.count(s) || !stages[s].empty())
                std::ofstream(dir / ("scafo" + std::to_string(s) + ".bmp"), std::ios::binary)
                    << (stages.count(s) ? stages[s] : picture(40, 30, kStage[s]));
        STARTUPINFOW si = {.cb = sizeof si};
        std::wstring command = L"\"" + (dir / L"wordrope.exe").wstring() + L"\"";
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                                   &process));
        ASSERT_TRUE(waitFor([&] { return (form = windowOf(nullptr, WORDROPE_TITLE)) != nullptr; }));
        ASSERT_TRUE(waitFor([&] { return focus() == IDC_GALLOWS; })) << "the focus on Picture1";
        ASSERT_TRUE(waitFor([&] {
            return pixel(IDC_GALLOWS) == kStage[0] && inkOf(IDC_END_GAME).first >= 0;
        })) << "the window painted, captions and all";
    }
    void TearDown() override {
        if (process.hProcess) {
            TerminateProcess(process.hProcess, 9);
            WaitForSingleObject(process.hProcess, 20000);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        std::error_code ec;
        fs::remove_all(top, ec);
    }

    // The game's visible top-level window of this class and title (not one of an earlier test's game,
    // which may linger after its process has gone); nullptr if there is none.
    HWND windowOf(const char* cls, const char* title) const {
        for (HWND h = FindWindowExA(nullptr, nullptr, cls, title); h;
             h = FindWindowExA(nullptr, h, cls, title)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            if (pid == process.dwProcessId && IsWindowVisible(h)) return h;
        }
        return nullptr;
    }
    HWND control(int id) const { return GetDlgItem(form, id); }
    std::string scherm() const { return textOf(control(IDC_SCHERM)); }
    // The focused control's id; 0 for none, -1 inside a message box.
    int focus() const {
        GUITHREADINFO gui = {.cbSize = sizeof gui};
        if (!GetGUIThreadInfo(process.dwThreadId, &gui) || !gui.hwndFocus) return 0;
        return GetParent(gui.hwndFocus) == form ? GetDlgCtrlID(gui.hwndFocus) : -1;
    }
    COLORREF pixel(int id, int x = 5, int y = 5) const {
        POINT p = {x, y};
        ClientToScreen(control(id), &p);
        HDC screen = GetDC(nullptr);
        const COLORREF c = GetPixel(screen, p.x, p.y);
        ReleaseDC(nullptr, screen);
        return c;
    }
    // The caption's ink in a control, `inset` pixels in from its edges, where a button's frame and
    // focus rectangle lie: where its dark pixels start and end across, and its darkest colour.
    struct Ink {
        int first = -1, last = -1;
        COLORREF darkest = RGB(255, 255, 255);
    };
    Ink inkOf(int id, int inset = 4) const {
        RECT r = {};
        GetClientRect(control(id), &r);
        const int width = r.right - inset, height = r.bottom - inset;
        const auto sum = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); };
        // The area copied from the screen at once: a read of each pixel on its own is slow.
        POINT corner = {0, 0};
        ClientToScreen(control(id), &corner);
        HDC screen = GetDC(nullptr), copy = CreateCompatibleDC(screen);
        HBITMAP area = CreateCompatibleBitmap(screen, r.right, r.bottom);
        HGDIOBJ old = SelectObject(copy, area);
        BitBlt(copy, 0, 0, r.right, r.bottom, screen, corner.x, corner.y, SRCCOPY);
        Ink ink;
        for (int x = inset; x < width; ++x)
            for (int y = inset; y < height; ++y) {
                const COLORREF c = GetPixel(copy, x, y);
                if (sum(c) < sum(ink.darkest)) ink.darkest = c;
                if (sum(c) < 200) {
                    ink.first = ink.first < 0 ? x : ink.first;
                    ink.last = x;
                }
            }
        DeleteObject(SelectObject(copy, old));
        DeleteDC(copy);
        ReleaseDC(nullptr, screen);
        return ink;
    }
    // The stage Picture1 shows: 0 for the start-up picture, -1 for none.
    int stage() const {
        for (int s = 0; s <= 9; ++s)
            if (kStage[s] == pixel(IDC_GALLOWS)) return s;
        return -1;
    }
    // Waits until `done` holds, the game ends or `seconds` pass. Neither the screen's pixels nor
    // another process's windows say when they change, so `done` is asked again each time the game's
    // process handle has stayed unsignalled for 20 ms or this thread has had messages to handle
    // (the events a screen reader listens to come so); once the game has ended, it is asked once more.
    template <class Done>
    bool waitFor(Done done, double seconds = 20) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            if (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 20, QS_ALLINPUT) == WAIT_OBJECT_0)
                return done();
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        return true;
    }
    // Each event of a press carries the point it happens at. Wine feeds the X server's pointer
    // motion back in, late while the game is busy, so the pointer may stand elsewhere for a moment
    // after it was put on the button: a press made where the pointer is could land there.
    void clickOn(HWND h, int times = 1) const {
        RECT r;
        if (!GetWindowRect(h, &r)) return;  // a window that is gone takes no click
        // The middle of the control, in the 0..65535 of the screen's width and height.
        const auto scale = [](LONG px, int metric) {
            return static_cast<LONG>((2 * px + 1) * 65536LL / (2 * GetSystemMetrics(metric)));
        };
        const LONG x = scale((r.left + r.right) / 2, SM_CXSCREEN),
                   y = scale((r.top + r.bottom) / 2, SM_CYSCREEN);
        const auto at = [&](DWORD flags) {
            return INPUT{
                .type = INPUT_MOUSE,
                .mi = {.dx = x, .dy = y, .dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE}};
        };
        send({at(0)});
        for (int i = 0; i < times; ++i) send({at(MOUSEEVENTF_LEFTDOWN), at(MOUSEEVENTF_LEFTUP)});
    }
    void click(int id, int times = 1) const { clickOn(control(id), times); }
    // Clicks the letters in turn, each once the game shows what the one before did (a new mask, a
    // new picture, a question): at a player's pace, not as a queue of clicks.
    void letters(const std::string& s) const {
        for (char c : s) {
            const std::string mask = scherm();
            const COLORREF shown = pixel(IDC_GALLOWS);
            click(letter(c));
            EXPECT_TRUE(waitFor([&] {
                return scherm() != mask || pixel(IDC_GALLOWS) != shown || windowOf("#32770", nullptr);
            })) << "the click on "
                << c << " changed nothing on screen";
        }
    }
    DWORD waitExit() const {
        DWORD code = STILL_ACTIVE;
        WaitForSingleObject(process.hProcess, 20000);
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }

    // The game's message box once it is up with `title` and whole: its text and buttons made and
    // the focus in it (a box is found by its title a moment before that); nullptr if it never is.
    HWND waitBox(const std::string& title) const {
        HWND box = nullptr;
        waitFor([&] {
            box = windowOf("#32770", title.c_str());
            if (!box) return false;
            GUITHREADINFO gui = {.cbSize = sizeof gui};
            const std::string shown = describe(box);
            return GetGUIThreadInfo(process.dwThreadId, &gui) && IsChild(box, gui.hwndFocus) &&
                   shown.find("||") == std::string::npos && shown.back() != '|';
        });
        return box;
    }
    // Clicks the box's button and waits for the box to go.
    void answer(HWND box, const std::string& caption) const {
        for (HWND h = GetWindow(box, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            if (classOf(h) == "Button" && textOf(h).find(caption) != std::string::npos) clickOn(h);
        EXPECT_TRUE(waitFor([&] { return !IsWindow(box); })) << caption << " did not close the box";
    }

    void waitScreen(const std::string& mask, int stage) {
        ASSERT_TRUE(waitFor([&] { return scherm() == mask && this->stage() == stage; }))
            << "mask '" << mask << "' and stage " << stage << "; shown '" << scherm() << "', stage "
            << this->stage();
    }
    void newWord() {
        click(IDC_NEW_WORD);
        waitScreen("...", 1);
    }
    HWND win() {
        newWord();
        letters("cab");
        HWND box = waitBox(kWinText);
        EXPECT_EQ(describe(box) + scherm(), kWinText + kQuestion + "cab")
            << "the word is complete before the question; stage " << stage();
        EXPECT_FALSE(IsWindowEnabled(form)) << "the window takes no clicks while the question is open";
        return box;
    }
    // Seven misses, each stage named for a screen reader as it is shown, then the eighth.
    HWND lose() {
        newWord();
        for (int stage = 2; stage <= 8; ++stage) {
            letters(std::string(1, static_cast<char>('d' + stage - 2)));
            waitScreen("...", stage);
            EXPECT_EQ(heard(control(IDC_GALLOWS)).first,
                      "Gallows: " + std::to_string(stage - 1) + " of 8 misses");
        }
        letters("k");
        HWND box = waitBox(kLossText + "cab");
        EXPECT_EQ(describe(box) + scherm(), kLossText + "cab" + kQuestion + "...");
        // Painted before the question opened; the screen may show it a moment later.
        EXPECT_TRUE(waitFor([&] { return stage() == 9; })) << "the last stage is on screen with the question";
        return box;
    }
    // No process holds these files of the game's folder open: each opens here without sharing.
    void expectClosed(std::initializer_list<const char*> names) const {
        for (const char* name : names) {
            HANDLE h = CreateFileW((dir / name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            EXPECT_NE(h, INVALID_HANDLE_VALUE) << name << " is held open (error " << GetLastError() << ")";
            CloseHandle(h);
        }
    }
    // Picture1 shows a stage picture of the test folder (40 x 30 pixels) at `dpi`, grey beyond it.
    void expectStageAt(int stage, int dpi) {
        const int right = 40 * dpi / 96, bottom = 30 * dpi / 96;
        EXPECT_TRUE(waitFor([&] { return pixel(IDC_GALLOWS, right - 2, bottom - 2) == kStage[stage]; }))
            << "stage " << stage << " at " << dpi << " DPI";
        EXPECT_EQ(pixel(IDC_GALLOWS, right + 2, 10), kGrey);
        EXPECT_EQ(pixel(IDC_GALLOWS, 10, bottom + 2), kGrey);
    }
    // Every control where the table puts it at `dpi`: at 96 exactly, elsewhere within a pixel of
    // that scaled. (What scherm says is the game's.)
    void expectLayoutAt(int dpi) const {
        const int slack = dpi == 96 ? 0 : 1;
        const auto close = [&](int got, int at96) { return std::abs(got - at96 * dpi / 96.0) <= slack; };
        const auto controls = controlsOf(form);
        for (const auto& [id, want] : layoutAt96()) {
            const Control& got = controls.at(id);
            EXPECT_TRUE(got.kind == want.kind && got.tab == want.tab &&
                        (got.text == want.text || id == IDC_SCHERM) && close(got.left, want.left) &&
                        close(got.top, want.top) && close(got.width, want.width) &&
                        close(got.height, want.height))
                << "control " << id << " at " << dpi << " DPI is " << ::testing::PrintToString(got)
                << "; at 96 it is " << ::testing::PrintToString(want);
        }
    }
    // Sends the form the test's request `name`, which the test's hook carries out in the game's own
    // thread (game_hook.h); returns how many controls were told of a theme change meanwhile.
    int inGame(const wchar_t* name, WPARAM wParam, LPARAM lParam) const {
        HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, gameHook, GetModuleHandleW(L"game_hook.dll"),
                                       process.dwThreadId);
        EXPECT_NE(hook, nullptr);
        RemovePropW(form, kRethemedName);
        DWORD_PTR result;
        EXPECT_TRUE(SendMessageTimeoutW(form, RegisterWindowMessageW(name), wParam, lParam, SMTO_ABORTIFHUNG,
                                        20000, &result));
        UnhookWindowsHookEx(hook);
        return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(form, kRethemedName)));
    }
    // What Windows does when the window moves to a screen of `dpi`: WM_DPICHANGED with the window's
    // rectangle it suggests (here `width` x `height` at the window's top-left corner). Returns how
    // many controls were told to open their theme again.
    int changeDpi(int dpi, int width, int height) const {
        return inGame(kDpiChangeName, dpi, MAKELPARAM(width, height));
    }
    // What the game's own process answers to `what` (game_hook.h) of `of`.
    LONG_PTR ask(Ask what, LPARAM of) const {
        inGame(kAskName, what, of);
        return reinterpret_cast<LONG_PTR>(GetPropW(form, kAnswerName));
    }

    // Every button made by Common Controls 6 and drawn, over its whole size, themed (a white face, a
    // thin grey frame, rounded corners blended into the window's ground, never into another colour)
    // or classic (the system's button face).
    void expectButtonsDrawn(bool themed) const {
        const COLORREF ground = GetSysColor(COLOR_BTNFACE);
        for (int id : buttons()) {
            HWND h = control(id);
            RECT r = {};
            GetClientRect(h, &r);
            const std::string cls = classAtomOf(h);
            EXPECT_TRUE(cls.starts_with("6.") && cls.ends_with("!Button"))
                << "button " << id << " is a " << cls;
            EXPECT_EQ(GetPropW(h, L"ux_theme") != nullptr, themed)
                << "button " << id << " drawn by the theme engine";
            // The bottom edge: a frame line either way, never the ground, once the button is painted.
            COLORREF frame = ground;
            EXPECT_TRUE(waitFor([&] { return (frame = pixel(id, r.right / 2, r.bottom - 1)) != ground; }))
                << "button " << id << " painted to its bottom edge";
            EXPECT_EQ(pixel(id, r.right - 3, r.bottom / 2) != ground, themed) << "button " << id << "'s face";
            if (!themed) continue;
            const COLORREF corner = pixel(id, r.right - 1, r.bottom - 1);
            const auto between = [](int c, int a, int b) {
                return std::min(a, b) <= c && c <= std::max(a, b);
            };
            EXPECT_TRUE(between(GetRValue(corner), GetRValue(frame), GetRValue(ground)) &&
                        between(GetGValue(corner), GetGValue(frame), GetGValue(ground)) &&
                        between(GetBValue(corner), GetBValue(frame), GetBValue(ground)))
                << "button " << id << "'s corner " << std::hex << corner << " lies between its frame "
                << frame << " and the ground " << ground;
        }
    }

    // The game's memory as Wine tells it of another process: its page-file use, that process's own
    // anonymous memory (Wine tells no private memory).
    long long pageFile() const {
        PROCESS_MEMORY_COUNTERS m = {.cb = sizeof m};
        GetProcessMemoryInfo(process.hProcess, &m, sizeof m);
        return static_cast<long long>(m.PagefileUsage);
    }

    fs::path top, dir;
    PROCESS_INFORMATION process = {};
    HWND form = nullptr;
};

TEST_F(WindowTest, LayoutAt96DpiFromTheTableInTwipsCaptionsInTheInterfaceFontStartUpPictureClipped) {
    play();
    POINT origin = {0, 0};
    ClientToScreen(form, &origin);
    EXPECT_EQ(std::make_pair(origin.x, origin.y), std::make_pair(91L, 129L));
    RECT client;
    GetClientRect(form, &client);
    EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(419L, 248L));
    EXPECT_EQ(controlsOf(form).size(), layoutAt96().size()) << "no control more";
    expectLayoutAt(96);
    // Another process cannot ask a control for its font: measure the caption's ink instead.
    NONCLIENTMETRICSA m = {.cbSize = sizeof m};
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    HDC dc = GetDC(nullptr);
    HFONT ui = CreateFontIndirectA(&m.lfMessageFont);
    HGDIOBJ old = SelectObject(dc, ui);
    SIZE inUi = {};  // the System font, which a control draws in when given none, is wider
    GetTextExtentPoint32A(dc, "New word", 8, &inUi);
    DeleteObject(SelectObject(dc, old));
    ReleaseDC(nullptr, dc);
    const Ink ink = inkOf(IDC_NEW_WORD);
    const int width = ink.last - ink.first + 1;
    EXPECT_TRUE(inUi.cx - 10 <= width && width <= inUi.cx)
        << "ink of " << width << " px; the caption is " << inUi.cx << " px in the UI font";
    EXPECT_EQ(pixel(IDC_GALLOWS, 34, 100), RGB(0, 0, 255));  // the blue post
    EXPECT_EQ(pixel(IDC_GALLOWS, 264, 216), kStage[0]);      // clipped, not scaled
}

// Tab walks the tab order round to the picture, Shift+Tab back; Space presses the focused button,
// and typed letters, Enter and Escape press nothing.
TEST_F(WindowTest, TheKeyboardWalksTheTabOrderAndSpaceAloneFollowsIt) {
    play();
    const auto tab = [&](int to) {
        press({VK_TAB});
        EXPECT_TRUE(waitFor([&] { return focus() == to; })) << "Tab to " << to;
    };
    for (char c = 'a'; c <= 'z'; ++c) tab(letter(c));
    tab(IDC_NEW_WORD);
    press({VK_RETURN, VK_ESCAPE, 'A', VK_SPACE});
    waitScreen("...", 1);  // Space pressed New word
    for (int to : {IDC_SHOW_HELP, IDC_END_GAME, IDC_GALLOWS}) tab(to);
    send({key(VK_SHIFT), key(VK_TAB), key(VK_TAB, KEYEVENTF_KEYUP), key(VK_SHIFT, KEYEVENTF_KEYUP)});
    EXPECT_TRUE(waitFor([&] { return focus() == IDC_END_GAME; })) << "Shift+Tab back to End";
    for (int to : {IDC_GALLOWS, letter('a')}) tab(to);
    press({'B', VK_RETURN, VK_ESCAPE, VK_SPACE});
    EXPECT_TRUE(waitFor([&] { return scherm() == ".a."; })) << "Space to press A";
    EXPECT_EQ(stage(), 1) << "b, Enter and Escape pressed nothing";
}

TEST_F(WindowTest, HelpChangesNothingWhicheverButtonClosesItAndEndEnds) {
    play();
    newWord();
    letters("cx");
    waitScreen("c..", 2);
    // The mask stands in the window's colours, apart from the button face around it.
    ASSERT_NE(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixel(IDC_SCHERM, 110, 8), GetSysColor(COLOR_WINDOW)) << "scherm's ground";
    EXPECT_EQ(inkOf(IDC_SCHERM, 1).darkest, GetSysColor(COLOR_WINDOWTEXT)) << "scherm's text";
    for (const char* button : {"OK", "Cancel"}) {
        click(IDC_SHOW_HELP);
        HWND box = waitBox("HELP");
        EXPECT_EQ(describe(box), "HELP| Click NEW GAME, then use letter buttons at the bottom|-|OK*,Cancel");
        answer(box, button);
        waitScreen("c..", 2);
    }
    click(IDC_END_GAME);  // mid-game: ends at once
    EXPECT_EQ(waitExit(), 0u);
}

TEST_F(WindowTest, DoubleClickOnSchermShowsTheLastLetterAndTheCloseBoxEnds) {
    play();
    newWord();
    click(IDC_SCHERM, 2);
    EXPECT_TRUE(waitFor([&] { return scherm().empty(); })) << "no letter pressed yet: the label empties";
    letters("x");
    waitScreen("", 2);  // a miss leaves the label as it is
    click(IDC_SCHERM, 2);
    EXPECT_TRUE(waitFor([&] { return scherm() == "x"; })) << "the last letter";
    letters("y");
    waitScreen("x", 3);
    letters("b");
    EXPECT_TRUE(waitFor([&] { return scherm() == "..b"; })) << "a hit rewrites the mask";
    PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(waitExit(), 0u);
}

// A list's author may save, rename or delete the list or a picture while the game is open: the
// game holds none of its files open between clicks. Its folder is named outside the system's code
// page (1252 here), as a player's may be: the game reads its files there and names a missing one by
// its real path. (A folder past 260 characters cannot be tried here: Wine starts no program from one.)
TEST_F(WindowTest, PicturesShowAtNaturalSizeClippedOnGreyNoFileStaysOpenAndAMissingOneIsReported) {
    play("cab\r\n", {{1, picture(600, 400, RGB(10, 20, 30))}, {2, picture(20, 10, RGB(40, 50, 60))}, {3, ""}},
         "\xC5\x81\xC3\xB3\x64\xC5\xBA \xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0");  // Łódź ゲーム
    click(IDC_NEW_WORD);
    EXPECT_TRUE(waitFor([&] { return pixel(IDC_GALLOWS, 264, 216) == RGB(10, 20, 30); })) << "large, clipped";
    expectClosed({"wlstdata.dat", "scafo1.bmp"});
    letters("x");
    EXPECT_TRUE(waitFor([&] { return pixel(IDC_GALLOWS) == RGB(40, 50, 60); })) << "the small picture";
    EXPECT_EQ(pixel(IDC_GALLOWS, 30, 5), kGrey);
    EXPECT_EQ(pixel(IDC_GALLOWS, 5, 20), kGrey);
    expectClosed({"wlstdata.dat", "scafo1.bmp", "scafo2.bmp"});
    letters("y");
    HWND box = waitBox("Wordrope");  // the run-time error report, naming the file and its fault
    EXPECT_NE(describe(box).find(narrow((dir / "scafo3.bmp").wstring()) + "\": not found"), std::string::npos)
        << describe(box);
    answer(box, "OK");
    EXPECT_EQ(waitExit(), 1u) << "the program ends with a failure's status";
}

// Wine 10 reads the screen's DPI once per wineserver, so this case runs in a prefix of its own,
// set to 144 DPI before anything started there.
TEST_F(WindowTest, At144DpiLayoutAndPicturesGrowByHalfFromTheSameTwips) {
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSX), 144) << "the prefix's screen";
    ReleaseDC(nullptr, screen);
    play();
    expectLayoutAt(144);
    expectButtonsDrawn(true);
    newWord();
    expectStageAt(1, 144);
}

// Moved to a screen at 144 DPI and back, as Windows 10 tells a per-monitor aware program: the
// window takes the rectangle suggested, lays itself out as a cold start there does, with the font
// and pictures for it, and comes back to exactly the first layout.
TEST_F(WindowTest, ALiveDpiChangeLaysOutAgainAndBackWithoutDrift) {
    play();
    newWord();
    const auto first = controlsOf(form);
    const auto before = windowRect(form);
    const auto inkWidth = [&](int inset) {
        const Ink ink = inkOf(IDC_NEW_WORD, inset);
        return ink.last - ink.first;
    };
    const int inkAt96 = inkWidth(4);
    const auto [x, y, width, height] =
        std::array{before[0], before[1], before[2] - before[0], before[3] - before[1]};
    EXPECT_EQ(changeDpi(144, width * 3 / 2, height * 3 / 2), 29) << "buttons told to open their theme again";
    EXPECT_EQ(windowRect(form), (std::array{x, y, x + width * 3 / 2, y + height * 3 / 2}))
        << "as Windows suggested";
    expectLayoutAt(144);
    expectButtonsDrawn(themedPrefix());
    EXPECT_TRUE(waitFor([&] { return inkWidth(6) >= inkAt96 * 13 / 10; })) << "the font for 144 DPI";
    letters("x");
    expectStageAt(2, 144);

    EXPECT_EQ(changeDpi(96, width, height), 29);
    EXPECT_EQ(windowRect(form), before);
    EXPECT_EQ(controlsOf(form), first) << "back where it started";
    letters("y");
    expectStageAt(3, 96);
    EXPECT_TRUE(waitFor([&] { return inkWidth(4) == inkAt96; })) << "the font for 96 again";
}

// Where the prefix wears a visual style the theme engine draws every button, elsewhere the classic
// look; the window answers a button's question for its ground with its own.
TEST_F(WindowTest, ButtonsWearTheVisualStyleWhereTheSystemHasOneAndTheClassicLookWhereNot) {
    const bool themed = themedPrefix();
    ASSERT_EQ(IsThemeActive() != FALSE, themed) << "the prefix's visual style is as scripts/wine.sh set it";
    send(
        {{.type = INPUT_MOUSE, .mi = {.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE}}});  // off the game
    play();
    std::printf("buttons: class %s, %s\n", classAtomOf(control(IDC_NEW_WORD)).c_str(),
                themed ? "themed" : "classic");
    expectButtonsDrawn(themed);
    for (int id : buttons())
        EXPECT_EQ(ask(kButtonBrush, id), static_cast<LONG_PTR>(ask(kSysColour, COLOR_BTNFACE)))
            << "the brush for button " << id << " is the window's ground";
}

// Another colour scheme chosen while the game runs: the labels are painted again in its colours.
TEST_F(WindowTest, AColourChangeWhileTheGameRunsRepaintsTheLabelsInTheNewColours) {
    play();
    newWord();
    letters("c");
    waitScreen("c..", 1);
    const COLORREF window = RGB(255, 255, 200), text = RGB(0, 0, 160), face = RGB(200, 230, 255);
    for (auto [index, colour] :
         {std::pair{COLOR_WINDOW, window}, {COLOR_WINDOWTEXT, text}, {COLOR_BTNFACE, face}})
        ask(kSetSysColour, index << 24 | static_cast<LPARAM>(colour));  // Wine keeps them to the game
    EXPECT_TRUE(waitFor([&] {
        return pixel(IDC_SCHERM, 110, 8) == window && inkOf(IDC_SCHERM, 1).darkest == text &&
               pixel(IDC_CREDITS, 410, 8) == face;
    })) << "scherm's ground, scherm's text and Label1's ground in the new colours: "
        << std::hex << pixel(IDC_SCHERM, 110, 8) << " " << inkOf(IDC_SCHERM, 1).darkest << " "
        << pixel(IDC_CREDITS, 410, 8) << " sys " << GetSysColor(COLOR_WINDOW) << " game "
        << ask(kSysColour, COLOR_WINDOW);
}

// As a screen reader asks, from another process: every control named by what it shows, and
// Picture1 a graphic named for its stage, the name announced each time it changes.
TEST_F(WindowTest, AScreenReaderHearsEachControlAndEachStage) {
    play();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                                         onNameChange, process.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    nameChanges.clear();
    std::printf("a screen reader hears (name, role):");
    for (const auto& [id, c] : controlsOf(form)) {
        const auto [name, role] = heard(control(id));
        std::printf(" '%s' %ld;", name.c_str(), static_cast<long>(role));
        EXPECT_TRUE(id == IDC_GALLOWS || name == c.text)
            << "control " << id << " is heard as '" << name << "'";
    }
    EXPECT_EQ(heard(control(IDC_GALLOWS)), (Heard{"Gallows: no game yet", ROLE_SYSTEM_GRAPHIC}));
    HWND box = lose();
    EXPECT_EQ(heard(control(IDC_GALLOWS)), (Heard{"Gallows: 8 of 8 misses", ROLE_SYSTEM_GRAPHIC}));
    EXPECT_EQ(heard(control(IDC_SCHERM)).first, "...");
    const auto announced = [&] {
        return std::count(nameChanges.begin(), nameChanges.end(), control(IDC_GALLOWS));
    };
    EXPECT_TRUE(waitFor([&] { return announced() == 9; })) << announced() << " of 9 stages announced";
    answer(box, "Yes");
    EXPECT_TRUE(waitFor([&] { return announced() == 10; })) << "the next game's stage announced";
    EXPECT_EQ(heard(control(IDC_GALLOWS)).first, "Gallows: no misses");
    UnhookWinEvent(hook);
}

// Narrator, and most readers of today, ask through UI Automation, which makes its element for
// Picture1 from the box's accessible object: an image named for its stage, the name following it.
TEST_F(WindowTest, NarratorHearsPicture1ThroughUiAutomationAsAnImageNamedForItsStage) {
#ifndef WORDROPE_HAS_UIA
    std::printf(
        "UI Automation: skipped: this MinGW-w64 does not declare its client (Debian 12's does not)\n");
    GTEST_SKIP() << "no UI Automation headers";
#else
    IUIAutomation* automation = nullptr;
    if (FAILED(CoCreateInstance(__uuidof(CUIAutomation), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IUIAutomation), reinterpret_cast<void**>(&automation)))) {
        std::printf("UI Automation: skipped: this Wine has no UI Automation client (Wine 8 has none)\n");
        GTEST_SKIP() << "no UI Automation client";
    }
    play();
    // Name and control type as Narrator reads them; Wine 10 answers these calls (not the cached or
    // pattern ones).
    const auto element = [&] {
        IUIAutomationElement* e = nullptr;
        std::string name = "(no element)", asked = "(no element)";
        CONTROLTYPEID type = 0;
        if (SUCCEEDED(automation->ElementFromHandle(control(IDC_GALLOWS), &e)) && e) {
            BSTR text = nullptr;
            name = SUCCEEDED(e->get_CurrentName(&text)) && text ? narrow(text) : "";
            SysFreeString(text);
            e->get_CurrentControlType(&type);
            VARIANT value;
            VariantInit(&value);
            asked = SUCCEEDED(e->GetCurrentPropertyValueEx(UIA_NamePropertyId, TRUE, &value)) &&
                            value.vt == VT_BSTR
                        ? narrow(value.bstrVal)
                        : "";
            VariantClear(&value);
            e->Release();
        }
        return std::tuple{name, asked, type};
    };
    EXPECT_EQ(element(), std::tuple("Gallows: no game yet", "Gallows: no game yet", UIA_ImageControlTypeId));
    newWord();
    letters("x");
    waitScreen("...", 2);
    EXPECT_EQ(element(),
              std::tuple("Gallows: 1 of 8 misses", "Gallows: 1 of 8 misses", UIA_ImageControlTypeId));
    std::printf("UI Automation: Picture1 is an image (%d) named \"%s\"\n", UIA_ImageControlTypeId,
                std::get<0>(element()).c_str());
    automation->Release();
#endif
}

// A screen reader asks again and again while a person plays: every control as it walks the
// window, Picture1 most. WORDROPE_QUESTIONS sets how many questions Picture1 gets (2,000); every
// 100th comes with a walk of all the controls.
TEST_F(WindowTest, AScreenReaderAsksThousandsOfTimesAtNoCostInMemory) {
    play();
    newWord();
    const char* setting = std::getenv("WORDROPE_QUESTIONS");
    const int questions = setting ? std::atoi(setting) : 2000;
    const auto controls = controlsOf(form);
    std::vector<long long> used, added;  // after each hundred questions, and what each added
    std::printf("questions: %d to Picture1; KB after each 100th:", questions);
    for (int n = 1; n <= questions && !HasFailure(); ++n) {
        EXPECT_EQ(heard(control(IDC_GALLOWS)).first, "Gallows: no misses") << "question " << n;
        if (n % 100 != 0) continue;
        for (const auto& [id, c] : controls) heard(control(id));
        used.push_back(pageFile());
        if (used.size() > 1) added.push_back(used.back() - used[used.size() - 2]);
        std::printf(" %lld", used.back() >> 10);
    }
    std::printf("; steady growth %lld bytes\n", steadyGrowth(added));
    ASSERT_GE(added.size(), 5u) << "too few questions to tell";
    ASSERT_GT(used[0], 0) << "no figure of the game's memory";
    EXPECT_LT(steadyGrowth(added), kQuestionBound * questions)
        << "the questions cost memory: " << steadyGrowth(added) << " bytes";
    EXPECT_LT(used.back() - used[0], 4LL << 20) << "the game's memory grew by more than 4 MB";
}

// Many games in one process, a screen reader asking at every stage (and twenty times more at each
// new game, as it does when it hears of a new name): memory stays flat, and the questions cost none.
TEST_F(WindowTest, SoakManyGamesKeepMemoryFlatWriteNothingAndNoEnds) {
    std::map<int, std::string> full;  // full-size pictures
    for (int s = 1; s <= 9; ++s) full[s] = picture(332, 220, kStage[s]);
    play("cab\r\n", full);
    const auto before = snapshot(dir), beside = snapshot(top);
    const char* setting = std::getenv("WORDROPE_SOAK_GAMES");
    const int games = setting ? std::atoi(setting) : 60;
    // The page-file use after each game, and what the twenty questions after it added: the games
    // are judged by the middle one of five on end, the questions by the middle one of what they
    // added (the pictures the games free and take land between any two samples).
    std::vector<long long> used, asked;
    for (int n = 0; n < games && !HasFatalFailure(); ++n) {
        answer(n % 2 ? win() : lose(), "Yes");
        waitScreen("...", 1);
        heard(control(IDC_GALLOWS));  // the first question comes while the box's going settles
        const long long ahead = pageFile();
        for (int q = 0; q < 20; ++q) EXPECT_EQ(heard(control(IDC_GALLOWS)).first, "Gallows: no misses");
        used.push_back(pageFile());
        asked.push_back(used.back() - ahead);
    }
    answer(lose(), "No");  // and then a loss answered No ends the program
    EXPECT_EQ(waitExit(), 0u);
    ASSERT_GE(used.size(), 12u) << "too few games to tell";
    const long long first = middle({used.begin() + 2, used.begin() + 7}),
                    last = middle({used.end() - 5, used.end()}), questions = middle(asked);
    std::printf(
        "soak: %d games; page file %lld -> %lld KB; the 20 questions to Picture1 after each added "
        "%lld bytes (the middle one)\n",
        games, first >> 10, last >> 10, questions);
    ASSERT_GT(first, 0) << "no figure of the game's memory";
    EXPECT_LT(last - first, 4LL << 20) << "page-file use grew by more than 4 MB";
    EXPECT_LT(questions, 8LL << 10) << "a screen reader's questions cost memory";
    EXPECT_EQ(snapshot(dir), before);
    EXPECT_EQ(snapshot(top), beside);
}

}  // namespace
