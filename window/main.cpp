// WinMain: the main window and the message loop.
#include "files.h"
#include "form1.h"
#include "program_folder.h"

#include <windows.h>
// This needs windows.h before it.
#include <objbase.h>

#include <string>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
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
