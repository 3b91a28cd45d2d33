// Form1: window creation, the handlers of its 30 events, and the engine's window services.
#include "form1.h"

#include "bitmap.h"
#include "dll_search.h"
#include "failure.h"
#include "files.h"
#include "layout.h"
#include "picture_accessible.h"
#include "picture_box.h"
#include "resource.h"
#include "utf8.h"
#include "version.h"

#include <windowsx.h>
// This needs windows.h before it.
#include <commctrl.h>

#include <exception>
#include <string>
#include <utility>

namespace wordrope {

namespace {

const char kFormClass[] = "WordropeForm1";
const char kHelpTitle[] = "HELP";
const char kHelpPrompt[] = " Click NEW GAME, then use letter buttons at the bottom";
// The window's own ground: the colour a themed button's transparent corners are filled with too.
const int kFormGround = COLOR_BTNFACE;
// No WS_CLIPCHILDREN: under Wine it makes showing a window of 32 children cost 40 ms more.
const DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

}  // namespace

// windowsx.h has no cracker for it: (hwnd, new DPI, suggested window rectangle).
#define HANDLE_WM_DPICHANGED(hwnd, wParam, lParam, fn) \
    ((fn)((hwnd), static_cast<int>(HIWORD(wParam)), reinterpret_cast<const RECT*>(lParam)), 0L)
// Nor for this one: (hwnd).
#define HANDLE_WM_THEMECHANGED(hwnd, wParam, lParam, fn) ((fn)(hwnd), 0L)

Form1::Form1(HINSTANCE instance, const std::string& programDir)
    : instance_(instance), game_(*this, random_, programDir) {}

// A window still open (a test's) goes first: nothing of it may outlive the handlers' object.
Form1::~Form1() {
    end();
    DeleteObject(font_);
}

bool Form1::create(int show) {
    // The manifest asks for Common Controls 6, whose buttons wear the system's visual style; Windows
    // XP makes none of them until the library has been asked for its classes. Its load by bare name
    // follows the manifest to the system's side-by-side store (a full path would give version 5).
    // Should that fail, the controls' creation fails and says so.
    const INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_STANDARD_CLASSES};
    using Init = BOOL WINAPI(const INITCOMMONCONTROLSEX*);
    if (const auto init = functionOf<Init>(LoadLibraryW(L"comctl32.dll"), "InitCommonControlsEx"))
        init(&classes);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance_;
    wc.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_WORDROPE));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(kFormGround + 1));
    wc.lpszClassName = kFormClass;
    if (!registerClass(wc) || !registerPictureBox(instance_)) {
        report("The main window cannot be registered");
        return false;
    }

    // Sized for the system's DPI; once the window stands on a screen, it is laid out for that one's.
    const int dpi = systemDpi();
    const RECT r = windowRectAt(dpi, kFormStyle);
    if (!CreateWindowExA(0, kFormClass, WORDROPE_TITLE, kFormStyle, r.left, r.top, r.right - r.left,
                         r.bottom - r.top, nullptr, nullptr, instance_, this)) {
        if (!failed_) report("The main window cannot be created");
        return false;
    }
    if (dpi_ != dpi) {
        const RECT there = windowRectAt(dpi_, kFormStyle);
        SetWindowPos(hwnd_, nullptr, there.left, there.top, there.right - there.left,
                     there.bottom - there.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Shown now and painted by the message loop right after: the window answers sooner.
    ShowWindow(hwnd_, show);
    SetFocus(picture1_);
    return true;
}

LRESULT CALLBACK Form1::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form1* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<Form1*>(reinterpret_cast<LPCREATESTRUCTA>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Form1*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    const LRESULT result = self->HandleMessage(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);  // nothing reaches Form1 after it
    return result;
}

// Every message goes on with the window it came for, also after WM_DESTROY has let go of hwnd_.
LRESULT Form1::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        HANDLE_MSG(hwnd, WM_CREATE, OnCreate);
        HANDLE_MSG(hwnd, WM_COMMAND, OnCommand);
        HANDLE_MSG(hwnd, WM_CTLCOLORSTATIC, OnCtlColorStatic);
        HANDLE_MSG(hwnd, WM_CTLCOLORBTN, OnCtlColorBtn);
        HANDLE_MSG(hwnd, WM_THEMECHANGED, OnLookChanged);
        HANDLE_MSG(hwnd, WM_SYSCOLORCHANGE, OnLookChanged);
        HANDLE_MSG(hwnd, WM_ACTIVATE, OnActivate);
        HANDLE_MSG(hwnd, WM_SETFOCUS, OnSetFocus);
        HANDLE_MSG(hwnd, WM_DPICHANGED, OnDpiChanged);
        HANDLE_MSG(hwnd, WM_DESTROY, OnDestroy);
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

// A failure is reported, and the window refused.
BOOL Form1::OnCreate(HWND hwnd, LPCREATESTRUCTA) {
    return guarded([&] {
        // The visual style's DLLs, which the first button asks for by bare name, from the system
        // folder (dll_search.h). Not before: a window made once they are loaded wears the style's
        // frame too, which Wine draws slowly.
        loadFromSystemFolder({L"msimg32.dll", L"uxtheme.dll"});
        createControls();
        layout(windowDpi(hwnd));
    });
}

// All 32 controls from the table, in tab order, each checked as it is made; layout() places them.
void Form1::createControls() {
    for (const ControlRow& c : kControlTable) {
        const char* cls = "BUTTON";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        switch (c.kind) {
            case Kind::Button:
                style |= BS_PUSHBUTTON | WS_TABSTOP;
                break;
            case Kind::Picture:
                cls = kPictureClass;
                style |= WS_TABSTOP;
                break;
            case Kind::Label:
                cls = "STATIC";
                style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | (c.id == IDC_SCHERM ? SS_NOTIFY : 0);
                break;
        }
        HWND h = CreateWindowExA(0, cls, c.caption, style, 0, 0, 0, 0, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr);
        if (!h) throw Failure("The window's control " + std::to_string(c.id) + " cannot be created");
        if (c.id == IDC_GALLOWS) picture1_ = h;
        if (c.id == IDC_SCHERM) scherm_ = h;
        if (c.id == IDC_CREDITS) label1_ = h;
    }
    markLiveRegion(scherm_);
    markLiveRegion(picture1_);
    setPicture(
        picture1_,
        static_cast<HBITMAP>(LoadImageA(instance_, MAKEINTRESOURCEA(IDB_STARTUP), IMAGE_BITMAP, 0, 0, 0)),
        describeStage(0));
}

// Every control placed from the table in twips, and given the interface font, for a screen of
// `dpi`: when the window is made, and again each time it moves to a screen of another DPI.
void Form1::layout(int dpi) {
    dpi_ = dpi;
    HFONT font = uiFont(dpi);
    for (const ControlRow& c : kControlTable) {
        HWND h = GetDlgItem(hwnd_, c.id);
        SetWindowPos(h, nullptr, twipsToPixels(c.left, dpi), twipsToPixels(c.top, dpi),
                     twipsToPixels(c.width, dpi), twipsToPixels(c.height, dpi),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowFont(h, font, TRUE);
    }
    setPictureDpi(picture1_, dpi);
    DeleteObject(std::exchange(font_, font));  // no control uses the old one any more
}

// The 30 events: 26 letters, New word, Help, End, and a double-click on scherm.
void Form1::OnCommand(HWND, int id, HWND, UINT code) {
    if (asking_) return;  // a click that reached a button past the question (see question())
    if (id >= IDC_LETTER_A && id <= IDC_LETTER_Z && code == BN_CLICKED) {
        if (!guarded([&] {
                game_.guess = std::string(1, static_cast<char>('a' + (id - IDC_LETTER_A)));
                game_.textopscherm();
            }))
            end();
    } else if (id == IDC_NEW_WORD && code == BN_CLICKED) {
        if (!guarded([&] {
                game_.state = kNewGame;
                game_.textopscherm();
            }))
            end();
    } else if (id == IDC_SHOW_HELP && code == BN_CLICKED) {
        question([&] { return MessageBoxA(hwnd_, kHelpPrompt, kHelpTitle, MB_OKCANCEL | MB_DEFBUTTON1); });
    } else if (id == IDC_END_GAME && code == BN_CLICKED) {
        end();
    } else if (id == IDC_SCHERM && code == STN_DBLCLK) {
        setScherm(game_.guess);
    }
}

HBRUSH Form1::OnCtlColorStatic(HWND, HDC dc, HWND control, int) {
    const bool mask = control == scherm_;
    SetTextColor(dc, GetSysColor(mask ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(mask ? COLOR_WINDOW : COLOR_BTNFACE));
    return GetSysColorBrush(mask ? COLOR_WINDOW : COLOR_BTNFACE);
}

// A themed button paints its face itself; the brush fills only the corners its theme leaves
// transparent, which show the window's ground.
HBRUSH Form1::OnCtlColorBtn(HWND, HDC, HWND, int) { return GetSysColorBrush(kFormGround); }

// A theme or a system colour changed: the controls of the common controls library learn of a
// colour change only from their parent, and every control is painted again from the system's
// colours, which are read at each paint.
void Form1::OnLookChanged(HWND hwnd) {
    for (HWND h = GetWindow(hwnd, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        SendMessageA(h, WM_SYSCOLORCHANGE, 0, 0);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Keeps the focused control across deactivation, as a dialog does.
void Form1::OnActivate(HWND, UINT state, HWND, BOOL) {
    if (state == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
    }
}

void Form1::OnSetFocus(HWND, HWND) { SetFocus(lastFocus_ ? lastFocus_ : picture1_); }

// The window moved to a screen of another DPI (or that screen's scale changed): Windows suggests
// the window's new rectangle, and everything inside is laid out again for the new DPI.
void Form1::OnDpiChanged(HWND, int dpi, const RECT* suggested) {
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    layout(dpi);
    // A themed button opens its theme's parts for the DPI it stands at when it is made and when
    // the theme changes: Windows 10 from 1703 opens them again itself after a DPI change, earlier
    // systems and Wine only when told that the theme changed.
    for (const ControlRow& c : kControlTable)
        if (c.kind == Kind::Button) SendMessageA(GetDlgItem(hwnd_, c.id), WM_THEMECHANGED, 0, 0);
}

void Form1::OnDestroy(HWND) {
    unmarkLiveRegion(scherm_);
    unmarkLiveRegion(picture1_);
    hwnd_ = nullptr;
    PostQuitMessage(0);
}

bool Form1::translateKey(const MSG& msg) {
    if (!hwnd_ || msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    const bool back = GetKeyState(VK_SHIFT) < 0;
    if (HWND next = GetNextDlgTabItem(hwnd_, GetFocus(), back)) SetFocus(next);
    // The keyboard is in use: show the focus rectangle from now on, as the dialog manager does.
    SendMessageA(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    return true;
}

// Runs a step; a failure, whatever it was doing, is shown as the run-time error report. False when
// it failed: the caller then ends the program.
template <class Step>
bool Form1::guarded(Step step) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("An unknown failure");
    }
    return false;
}

// The failure's text is UTF-8 (file names as the player named them): shown through the wide call.
void showFailure(HWND owner, const std::string& message) {
    const std::wstring text = widen("Run-time error:\n\n" + message + "\n\nWordrope will now close.");
    MessageBoxW(owner, text.c_str(), L"Wordrope", MB_OK | MB_ICONERROR);
}

void Form1::report(const std::string& message) {
    failed_ = true;
    question([&] { return showFailure(hwnd_, message), 0; });
}

// While one of the game's message boxes is open, the window takes no clicks: the box disables it,
// which stops the mouse and the keys, but not a click sent to a button itself, as a screen reader's
// or voice control's activation is. Such a click changes nothing.
template <class Box>
int Form1::question(Box box) {
    asking_ = true;
    const int answer = box();
    asking_ = false;
    return answer;
}

// A new caption is spoken by screen readers wherever the focus is: scherm is a live region. Windows
// tells them of the new name itself; Wine does not, and the window does it there.
void Form1::setScherm(const std::string& caption) {
    if (caption == schermCaption_) return;
    schermCaption_ = caption;
    SetWindowTextA(scherm_, caption.c_str());
    if (systemFunction<void()>(L"ntdll.dll", "wine_get_version"))  // Wine's own export
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, scherm_, OBJID_CLIENT, CHILDID_SELF);
    announceLiveRegion(scherm_);
}

void Form1::showPicture(const Bitmap& picture, int stage) {
    HBITMAP h = bitmapFromFile(picture);
    if (!h) throw fileFailure("Stage picture", picture.path, "the picture cannot be shown");
    setPicture(picture1_, h, describeStage(stage));
}

bool Form1::askYesNo(const std::string& title, const std::string& prompt) {
    return question([&] {
               return MessageBoxA(hwnd_, prompt.c_str(), title.c_str(), MB_YESNO | MB_DEFBUTTON1);
           }) == IDYES;
}

void Form1::end() {
    if (hwnd_) DestroyWindow(hwnd_);
}

}  // namespace wordrope
