// What the Windows tests read of windows, in this process or another: texts, what a screen reader
// hears, pixels, a caption's ink; the one-colour stage pictures that make a pixel tell the stage; waiting.
#pragma once

#include <windows.h>
// This needs windows.h before it.
#include <oleacc.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace wordrope::test {

// Each stage picture of a test folder is one flat colour, so that a pixel tells the stage.
inline constexpr COLORREF kStage[10] = {RGB(254, 253, 252),  // 0: the start-up picture's ground
                                        RGB(200, 0, 0),     RGB(0, 200, 0),   RGB(0, 0, 200),
                                        RGB(200, 200, 0),   RGB(200, 0, 200), RGB(0, 200, 200),
                                        RGB(120, 60, 0),    RGB(60, 0, 120),  RGB(0, 120, 60)};
inline constexpr COLORREF kGrey = RGB(192, 192, 192);  // Picture1's ground

// A bitmap file of `width` x `height` pixels of colour `c`.
std::string picture(int width, int height, COLORREF c);

// The id of the letter button of `c` (a to z).
int letter(char c);

std::string textOf(HWND h);
std::string classOf(HWND h);

// What a screen reader hears of a window, asking as a reader asks (from this process or another):
// the name and role of its client object.
using Heard = std::pair<std::string, LONG>;
Heard heard(HWND h);
// The name of `child` of an accessible object, as a reader asks it; "" for none.
std::string nameOf(IAccessible* object, const VARIANT& child);

// The screen's pixel at (x, y) of the client area of `h`.
COLORREF pixelOf(HWND h, int x, int y);

// The caption's ink in a control, `inset` pixels in from its edges, where a button's frame and
// focus rectangle lie: where its dark pixels start and end across, and its darkest colour.
struct Ink {
    int first = -1, last = -1;
    COLORREF darkest = RGB(255, 255, 255);
};
Ink inkOf(HWND h, int inset = 4);

// While it lives, Wine takes each of `dlls` (bare names, no .dll) that `program` finds by the search
// before its own builtin of that name, as Windows takes any DLL that is not one of its known ones:
// for `program` as it starts; for null, in every process at once (Windows keeps no such key).
struct PreferFoundDlls {
    PreferFoundDlls(const wchar_t* program, std::vector<std::wstring> names)
        : key(program ? L"Software\\Wine\\AppDefaults\\" + std::wstring(program) + L"\\DllOverrides"
                      : L"Software\\Wine\\DllOverrides"),
          dlls(std::move(names)) {
        for (const std::wstring& dll : dlls)
            RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), dll.c_str(), REG_SZ, L"native,builtin",
                            sizeof L"native,builtin");
    }
    ~PreferFoundDlls() {
        for (const std::wstring& dll : dlls) RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), dll.c_str());
    }
    std::wstring key;
    std::vector<std::wstring> dlls;
};

// The folder of planted DLLs beside this test program (tests/CMakeLists.txt).
std::wstring plantedFolder();

// Waits until `done` holds or `seconds` pass, handling this thread's messages meanwhile (a window
// of this thread paints so, and a screen reader's events come so). Neither the screen's pixels nor
// another process's windows say when they change, so `done` is asked again every 20 ms at most;
// once `ended` (a process, say) is signalled, it is asked once more.
template <class Done>
bool waitUntil(Done done, HANDLE ended = nullptr, double seconds = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        if (MsgWaitForMultipleObjects(ended ? 1 : 0, &ended, FALSE, 20, QS_ALLINPUT) == WAIT_OBJECT_0 &&
            ended)
            return done();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace wordrope::test
