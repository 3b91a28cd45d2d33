// End-to-end tests of wordrope.exe under Wine, for what only another process shows: real input,
// message boxes, the exit status, files held, memory over many questions, and what a screen reader
// in another process hears. Each scenario starts the game in a folder of its own and plays it
// through the system's input queue (SendInput), as a player's mouse and keys do; what it shows is
// read back through the Win32 API and the screen. WORDROPE_SOAK_GAMES sets how many games the soak
// plays in one process (60).
#include "resource.h"
#include "screen.h"
#include "support.h"
#include "utf8.h"
#include "version.h"

#include <windows.h>
// These need windows.h before them.
#include <oleacc.h>
#include <psapi.h>
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
#include <vector>

namespace fs = std::filesystem;
using wordrope::narrow;
using wordrope::widen;

namespace {

using namespace wordrope::test;
const std::string kQuestion =
    "|" + kAgainText + "|-|&Yes*,&No";  // the rest of the box, as describe() tells it

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

// What a screen reader hears as a person plays, from the events the game raises, hooked out of
// context as NVDA and Narrator hook: each focus change, name change and live region's change
// ("focus", "box focus" inside a message box, "name", "live") with the name of its object. Asking
// for a name is a call into the game, during which more events come: they are queued here and
// named from the message loop.
struct Event {
    DWORD event;
    HWND window;
    LONG object, child;
};
std::vector<Event> pending;
void CALLBACK onEvent(HWINEVENTHOOK, DWORD event, HWND h, LONG object, LONG child, DWORD, DWORD) {
    if (event == EVENT_OBJECT_FOCUS || event == EVENT_OBJECT_NAMECHANGE || event == 0x8019)
        pending.push_back({event, h, object, child});
}
std::string nameOfEvent(const Event& e) {
    IAccessible* object = nullptr;
    VARIANT child = {};
    if (FAILED(AccessibleObjectFromEvent(e.window, static_cast<DWORD>(e.object), static_cast<DWORD>(e.child),
                                         &object, &child)))
        return "(no object)";
    const std::string out = nameOf(object, child);
    VariantClear(&child);
    object->Release();
    return out;
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
// Bytes a screen reader's question may cost the game. The game answers each with COM's marshalling
// of the one object it keeps, and allocates nothing of its own; what Wine keeps of each measured
// 23 bytes in a 32-bit game under Wine 10, and 125 to 137 in a 64-bit one there. Without the kept
// stub a question costs a kilobyte or more (1,000 bytes 32-bit, 2,093 64-bit).
constexpr long long kQuestionBound = sizeof(void*) == 8 ? 256 : 64;

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
    // The game's folder, `folder` in the test's own: the game, its word list and the nine stage
    // pictures (`stages`: a stage's file, where it is not a 40 x 30 picture of its colour; "" for none).
    void lay(const std::string& words = "cab\r\n", std::map<int, std::string> stages = {},
             const std::string& folder = "game") {
        dir = fs::path(widen(top.dir())) / widen(folder);
        fs::create_directories(dir);
        const wchar_t* game = _wgetenv(L"WORDROPE_GAME_DIR");
        ASSERT_NE(game, nullptr) << "WORDROPE_GAME_DIR names the game folder (ctest sets it)";
        fs::copy_file(fs::path(L"Z:" + std::wstring(game)) / L"wordrope.exe", dir / L"wordrope.exe");
        std::ofstream(dir / L"wlstdata.dat", std::ios::binary) << words;
        for (int s = 1; s <= 9; ++s)
            if (!stages.count(s) || !stages[s].empty())
                std::ofstream(dir / ("scafo" + std::to_string(s) + ".bmp"), std::ios::binary)
                    << (stages.count(s) ? stages[s] : picture(40, 30, kStage[s]));
    }
    // Starts `program` of the game's folder; with the game, waits for its window, the focus on
    // Picture1 and the window painted.
    void start(const wchar_t* program = L"wordrope.exe") {
        TearDown();
        STARTUPINFOW si = {.cb = sizeof si};
        std::wstring command = L"\"" + (dir / program).wstring() + L"\"";
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                                   &process));
        if (std::wstring(program) != L"wordrope.exe") return;
        ASSERT_TRUE(waitFor([&] { return (form = windowOf(nullptr, WORDROPE_TITLE)) != nullptr; }));
        ASSERT_TRUE(waitFor([&] { return focus() == IDC_GALLOWS; })) << "the focus on Picture1";
        ASSERT_TRUE(waitFor([&] { return pixel(IDC_GALLOWS) == kStage[0]; })) << "the window painted";
    }
    void play(const std::string& words = "cab\r\n", std::map<int, std::string> stages = {},
              const std::string& folder = "game") {
        lay(words, std::move(stages), folder);
        start();
    }
    // Ends the game's process, at the test's end or before another starts.
    void TearDown() override {
        if (!process.hProcess) return;
        TerminateProcess(process.hProcess, 9);
        WaitForSingleObject(process.hProcess, 20000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        process = {};
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
    COLORREF pixel(int id, int x = 5, int y = 5) const { return pixelOf(control(id), x, y); }
    std::string scherm() const { return textOf(control(IDC_SCHERM)); }
    // The focused control's id; 0 for none, -1 inside a message box.
    int focus() const {
        GUITHREADINFO gui = {.cbSize = sizeof gui};
        if (!GetGUIThreadInfo(process.dwThreadId, &gui) || !gui.hwndFocus) return 0;
        return GetParent(gui.hwndFocus) == form ? GetDlgCtrlID(gui.hwndFocus) : -1;
    }
    // The stage Picture1 shows: 0 for the start-up picture, -1 for none.
    int stage() const {
        for (int s = 0; s <= 9; ++s)
            if (kStage[s] == pixel(IDC_GALLOWS)) return s;
        return -1;
    }
    // Waits until `done` holds, the game ends or `seconds` pass.
    template <class Done>
    bool waitFor(Done done, double seconds = 20) const {
        return waitUntil(done, process.hProcess, seconds);
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
        expectClicksUnder(box);
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
        expectClicksUnder(box);
        return box;
    }
    // Beside the game, under the name of each DLL that the game, or the system's DLLs for it, load
    // by bare name (Wine's +loaddll trace of a game), a DLL that leaves a mark when loaded, which
    // Wine takes before its own while the test runs, as Windows takes any DLL it finds there. Those
    // that the system's own DLLs load before any program code runs, which no program can keep out
    // (Wine's user32 loads version.dll so, Windows' does not), the control shows: they are taken
    // away again, and said. The names left planted.
    std::vector<std::wstring> plant() {
        std::vector<std::wstring> planted = {L"oleacc", L"uxtheme", L"version", L"msimg32", L"comctl32"};
        for (const std::wstring& dll : planted)
            fs::copy_file(plantedFolder() + L"\\planted.dll", dir / (dll + L".dll"));
        fs::copy_file(plantedFolder() + L"\\dll_control.exe", dir / L"dll_control.exe");
        PreferFoundDlls prefer(L"dll_control.exe", planted);
        start(L"dll_control.exe");
        EXPECT_EQ(waitExit(), 0u) << "the control";
        std::string wines;
        std::erase_if(planted, [&](const std::wstring& dll) {
            const bool wine = fs::exists(dir / (dll + L".dll.ran")) && fs::remove(dir / (dll + L".dll"));
            if (wine) wines += " " + narrow(dll) + ".dll";
            return wine;
        });
        std::printf("planted DLLs left out, loaded by the system's own before any program code:%s\n",
                    wines.c_str());
        return planted;
    }
    // While the game's message box `box` is open, a click sent to a button itself, as a screen
    // reader's or voice control's activation is (the disabled window stops only the mouse and the
    // keys): a hit, a miss and New word change nothing, and the box stays.
    void expectClicksUnder(HWND box) const {
        const std::string mask = scherm();
        const int shown = stage();
        for (const int id : {letter('c'), letter('z'), IDC_NEW_WORD}) {
            DWORD_PTR result = 0;
            const bool done = SendMessageTimeoutW(control(id), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result);
            EXPECT_TRUE(done && scherm() == mask && stage() == shown && IsWindowVisible(box))
                << "after a click on control " << id << " under the box: mask '" << scherm() << "', stage "
                << stage() << (done ? "" : ", the click still at work (a box of its own?)");
        }
    }
    // The game's memory as Wine tells it of another process: its page-file use, that process's own
    // anonymous memory (Wine tells no private memory).
    long long pageFile() const {
        PROCESS_MEMORY_COUNTERS m = {.cb = sizeof m};
        GetProcessMemoryInfo(process.hProcess, &m, sizeof m);
        return static_cast<long long>(m.PagefileUsage);
    }

    GameFolder top;
    fs::path dir;
    PROCESS_INFORMATION process = {};
    HWND form = nullptr;
};

// Tab walks the tab order round to the picture, Shift+Tab back; Space presses the focused button,
// and typed letters, Enter and Escape press nothing. The close box ends the game.
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
    PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(waitExit(), 0u);
}

// Help changes nothing, whichever button closes it, nor do clicks sent under it; a double-click on
// scherm shows the last letter pressed; End ends the game at once. And a web page may have dropped
// DLLs into Downloads beside the game: none of them runs in it (plant()).
TEST_F(WindowTest, HelpAndADoubleClickOnSchermChangeNoGameEndEndsAndNoDllPlantedRuns) {
    lay();
    const std::vector<std::wstring> planted = plant();
    PreferFoundDlls prefer(L"wordrope.exe", planted);
    start();
    newWord();
    for (const char* button : {"OK", "Cancel"}) {
        click(IDC_SHOW_HELP);
        HWND box = waitBox("HELP");
        EXPECT_EQ(describe(box), "HELP| Click NEW GAME, then use letter buttons at the bottom|-|OK*,Cancel");
        expectClicksUnder(box);
        answer(box, button);
        waitScreen("...", 1);
    }
    click(IDC_SCHERM, 2);
    EXPECT_TRUE(waitFor([&] { return scherm().empty(); })) << "no letter pressed yet: the label empties";
    letters("x");
    waitScreen("", 2);  // a miss leaves the label as it is
    click(IDC_SCHERM, 2);
    EXPECT_TRUE(waitFor([&] { return scherm() == "x"; })) << "the last letter";
    letters("b");
    EXPECT_TRUE(waitFor([&] { return scherm() == "..b"; })) << "a hit rewrites the mask";
    click(IDC_END_GAME);  // mid-game
    EXPECT_EQ(waitExit(), 0u);
    for (const std::wstring& dll : planted)
        EXPECT_FALSE(fs::exists(dir / (dll + L".dll.ran"))) << narrow(dll) << ".dll ran in the game";
}

// A list's author may save, rename or delete the list or a picture while the game is open: the
// game holds none of its files open between clicks. Its folder is named outside the system's code
// page (1252 here), as a player's may be: the game reads its files there and names a missing one by
// its real path. (A folder past 260 characters cannot be tried here: Wine starts no program from one.)
TEST_F(WindowTest, NoFileStaysOpenAndAMissingPictureIsReportedInAFolderOfAnyName) {
    play("cab\r\n", {{3, ""}},
         "\xC5\x81\xC3\xB3\x64\xC5\xBA \xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0");  // Łódź ゲーム
    newWord();
    letters("x");
    waitScreen("...", 2);
    for (const char* name : {"wlstdata.dat", "scafo1.bmp", "scafo2.bmp"}) {  // none held: each opens unshared
        HANDLE h = CreateFileW((dir / name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << name << " is held open (error " << GetLastError() << ")";
        CloseHandle(h);
    }
    letters("y");
    HWND box = waitBox("Wordrope");  // the run-time error report, naming the file and its fault
    EXPECT_NE(describe(box).find(narrow((dir / "scafo3.bmp").wstring()) + "\": not found"), std::string::npos)
        << describe(box);
    answer(box, "OK");
    EXPECT_EQ(waitExit(), 1u) << "the program ends with a failure's status";
}

// As a screen reader hears a game, from another process: the focus as Tab and clicks move it, the
// question's box, the focus back in the game after it; and, wherever the focus is, the word after
// a guess that reveals and the gallows after a miss, as live regions' changes; and as Narrator reads.
TEST_F(WindowTest, AScreenReaderHearsTheFocusAndWhatEachGuessDidWhereverTheFocusIs) {
    play();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, onEvent, process.dwProcessId, 0,
                                         WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    pending.clear();
    std::vector<std::string> log;
    std::size_t from = 0;  // what the step before heard ends here
    // Waits until all of `want` is heard after the step before (a "focus " alone: any focus on a
    // control of the game's window).
    const auto hears = [&](std::vector<std::string> want) {
        EXPECT_TRUE(waitFor([&] {
            for (; !pending.empty(); pending.erase(pending.begin())) {
                const Event e = pending.front();
                const char* kind = e.event == EVENT_OBJECT_FOCUS
                                       ? (GetParent(e.window) == form ? "focus" : "box focus")
                                   : e.event == EVENT_OBJECT_NAMECHANGE ? "name"
                                                                        : "live";
                log.push_back(std::string(kind) + " " + nameOfEvent(e));
            }
            return std::all_of(want.begin(), want.end(), [&](const std::string& w) {
                return std::any_of(log.begin() + static_cast<std::ptrdiff_t>(from), log.end(),
                                   [&](const std::string& got) { return got.starts_with(w); });
            });
        })) << ::testing::PrintToString(want)
            << " not all heard in "
            << ::testing::PrintToString(
                   std::vector(log.begin() + static_cast<std::ptrdiff_t>(from), log.end()));
        from = log.size();
    };
    press({VK_TAB});
    hears({"focus A"});
    click(IDC_NEW_WORD);
    hears({"focus New word", "name ...", "live ...", "name Gallows: no misses", "live Gallows: no misses"});
    letters("c");  // reveals, the focus on C: the word is spoken
    hears({"focus C", "name c..", "live c.."});
    letters("x");  // a miss: the gallows is spoken
    hears({"focus X", "name Gallows: 1 of 8 misses", "live Gallows: 1 of 8 misses"});
#ifdef WORDROPE_HAS_UIA
    // Narrator, and most readers of today, ask through UI Automation, which makes its element for a
    // control from its accessible object: Picture1 an image named for its stage (Wine 10 answers
    // these calls; Wine 8 has no client, and no Wine gives the live setting).
    IUIAutomation* automation = nullptr;
    IUIAutomationElement* e = nullptr;
    BSTR text = nullptr;
    CONTROLTYPEID type = 0;
    if (SUCCEEDED(CoCreateInstance(__uuidof(CUIAutomation), nullptr, CLSCTX_INPROC_SERVER,
                                   __uuidof(IUIAutomation), reinterpret_cast<void**>(&automation)))) {
        EXPECT_TRUE(SUCCEEDED(automation->ElementFromHandle(control(IDC_GALLOWS), &e)) && e &&
                    SUCCEEDED(e->get_CurrentName(&text)) && SUCCEEDED(e->get_CurrentControlType(&type)) &&
                    text && narrow(text) == "Gallows: 1 of 8 misses" && type == UIA_ImageControlTypeId)
            << "UI Automation reads Picture1 as " << (text ? narrow(text) : "") << ", type " << type;
        SysFreeString(text);
        if (e) e->Release();
        automation->Release();
    }
#endif
    letters("ab");
    HWND box = waitBox(kWinText);
    hears({"live cab", "box focus Yes"});
    answer(box, "Yes");
    hears({"focus ", "live ...", "live Gallows: no misses"});
    UnhookWinEvent(hook);
}

// A screen reader asks again and again while a person plays: every control as it walks the
// window, Picture1 most. WORDROPE_QUESTIONS sets how many questions Picture1 gets (2,000); every
// 100th comes with a walk of all the controls.
TEST_F(WindowTest, AScreenReaderAsksThousandsOfTimesAtNoCostInMemory) {
    play();
    newWord();
    const char* setting = std::getenv("WORDROPE_QUESTIONS");
    const int questions = setting ? std::atoi(setting) : 2000;
    std::vector<long long> used, added;  // after each hundred questions, and what each added
    std::printf("questions: %d to Picture1; KB after each 100th:", questions);
    for (int n = 1; n <= questions && !HasFailure(); ++n) {
        EXPECT_EQ(heard(control(IDC_GALLOWS)).first, "Gallows: no misses") << "question " << n;
        if (n % 100 != 0) continue;
        for (HWND h = GetWindow(form, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) heard(h);
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

// Many games in one process, a screen reader asking at every stage: memory stays flat.
TEST_F(WindowTest, SoakManyGamesKeepMemoryFlatWriteNothingAndNoEnds) {
    std::map<int, std::string> full;  // full-size pictures
    for (int s = 1; s <= 9; ++s) full[s] = picture(332, 220, kStage[s]);
    play("cab\r\n", full);
    const auto before = snapshot(dir), beside = snapshot(widen(top.dir()));
    const char* setting = std::getenv("WORDROPE_SOAK_GAMES");
    const int games = setting ? std::atoi(setting) : 60;
    // The page-file use after each game, judged by the middle one of five on end.
    std::vector<long long> used;
    for (int n = 0; n < games && !HasFatalFailure(); ++n) {
        answer(n % 2 ? win() : lose(), "Yes");
        waitScreen("...", 1);
        used.push_back(pageFile());
    }
    answer(lose(), "No");  // and then a loss answered No ends the program
    EXPECT_EQ(waitExit(), 0u);
    ASSERT_GE(used.size(), 12u) << "too few games to tell";
    const long long first = middle({used.begin() + 2, used.begin() + 7}),
                    last = middle({used.end() - 5, used.end()});
    std::printf("soak: %d games; page file %lld -> %lld KB\n", games, first >> 10, last >> 10);
    ASSERT_GT(first, 0) << "no figure of the game's memory";
    EXPECT_LT(last - first, 4LL << 20) << "page-file use grew by more than 4 MB";
    EXPECT_EQ(snapshot(dir), before);
    EXPECT_EQ(snapshot(widen(top.dir())), beside);
}

}  // namespace
