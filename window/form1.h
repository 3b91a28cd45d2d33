// Form1: the main window, its controls and handlers, and what the engine needs of it.
#pragma once

#include "game.h"
#include "random_source.h"
#include "window_port.h"

#include <windows.h>

#include <string>

namespace wordrope {

// The run-time error report: `message` (UTF-8), and that the program will close; owned by `owner`.
void showFailure(HWND owner, const std::string& message);

class Form1 : public WindowPort {
public:
    Form1(HINSTANCE instance, const std::string& programDir);
    ~Form1() override;

    // Creates and shows the window; false (after a report) when it could not.
    bool create(int show);

    // Handles the keys of a window without a dialog manager: Tab and Shift+Tab walk the tab order.
    // True when the message was used. The dialog manager (IsDialogMessage) is not used: it would
    // make Enter and Escape press buttons, and typed letters their mnemonics, where only a click
    // or Space on the focused button may press one.
    bool translateKey(const MSG& msg);

    int exitCode() const { return failed_ ? 1 : 0; }
    HWND window() const { return hwnd_; }

    // WindowPort
    void setScherm(const std::string& caption) override;
    void showPicture(const Bitmap& picture, int stage) override;
    bool askYesNo(const std::string& title, const std::string& prompt) override;
    void end() override;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    BOOL OnCreate(HWND hwnd, LPCREATESTRUCTA cs);
    void OnCommand(HWND hwnd, int id, HWND control, UINT code);
    HBRUSH OnCtlColorStatic(HWND hwnd, HDC dc, HWND control, int type);
    HBRUSH OnCtlColorBtn(HWND hwnd, HDC dc, HWND control, int type);
    void OnLookChanged(HWND hwnd);
    void OnActivate(HWND hwnd, UINT state, HWND other, BOOL minimized);
    void OnSetFocus(HWND hwnd, HWND old);
    void OnDpiChanged(HWND hwnd, int dpi, const RECT* suggested);
    void OnDestroy(HWND hwnd);

    void createControls();
    void layout(int dpi);
    template <class Step>
    bool guarded(Step step);
    void report(const std::string& message);
    template <class Box>
    int question(Box box);

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HWND picture1_ = nullptr;
    HWND scherm_ = nullptr;
    HWND label1_ = nullptr;
    HWND lastFocus_ = nullptr;
    std::string schermCaption_;  // as last set, so that only a change is announced
    HFONT font_ = nullptr;
    int dpi_ = 96;  // of the screen the window stands on
    bool failed_ = false;
    bool asking_ = false;   // one of the game's message boxes is open
    TwisterRandom random_;  // before game_, which holds on to it
    Game game_;
};

}  // namespace wordrope
