// WinMain: the main window and the message loop.
#include "dll_search.h"
#include "files.h"
#include "form1.h"
#include "program_folder.h"

#include <windows.h>
// This needs windows.h before it.
#include <objbase.h>

#include <string>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    // No DLL from the game's folder, where anyone may have dropped one: Active Accessibility, and
    // what Windows' own DLLs load for the game by bare name (Wine's user32, version.dll; the visual
    // style's, when the window is made), come from the system folder before anything asks for them.
    wordrope::restrictDllSearch({L"version.dll", L"oleacc.dll"});
    const std::string dir = wordrope::programFolder();
    if (dir.empty()) {
        wordrope::showFailure(nullptr, "Wordrope cannot start: " + wordrope::noProgramFolderProblem());
        return 1;
    }
    // A screen reader asks for Picture1's accessible object from its own process: COM carries it.
    const HRESULT com = CoInitialize(nullptr);
    int status = 1;
    {
        wordrope::Form1 form(instance, dir);
        if (form.create(show)) {
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
                if (form.translateKey(msg)) continue;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            status = form.exitCode();
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return status;
}
