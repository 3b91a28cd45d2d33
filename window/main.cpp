// WinMain: the main window and the message loop.
#include "files.h"
#include "form1.h"
#include "program_folder.h"

#include <windows.h>
// These need windows.h before them.
#include <commctrl.h>
#include <objbase.h>

#include <string>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    const std::string dir = wordrope::programFolder();
    if (dir.empty()) {
        wordrope::showFailure(nullptr, "Wordrope cannot start: " + wordrope::noProgramFolderProblem());
        return 1;
    }
    // The manifest asks for Common Controls 6, whose buttons wear the system's visual style; Windows
    // XP makes none of them until the library has been asked for its classes. Should that fail, the
    // window's own creation fails and says so.
    const INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
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
