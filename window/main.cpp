// WinMain: the main window and the message loop.
#include "form1.h"

#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    const std::string dir = wordrope::Form1::programDirectory();
    if (dir.empty()) {
        MessageBoxA(nullptr, "Run-time error:\n\nThe program cannot tell which folder it was started from.",
                    "Wordrope", MB_OK | MB_ICONERROR);
        return 1;
    }
    wordrope::Form1 form(instance, dir);
    if (!form.create(show)) return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (form.translateKey(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return form.exitCode();
}
