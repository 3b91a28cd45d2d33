// probe.exe: answers questions about Wordrope's windows through the Win32 API.
//
// Runs beside the game under the same wineserver, reads one command a line from standard input
// and answers each with one line holding a Python literal (texts in UTF-8):
//   form          -> (PID, X, Y, W, H): the client area on screen; None without a window
//   controls      -> {ID: (CLASS, X, Y, W, H, TABSTOP, TEXT)} in client coordinates
//   text ID       -> the control's text
//   focus         -> the focused control's ID, "form", "box" (in a message box) or None
//   enabled       -> whether the main window takes input
//   box           -> [("title", T), ("text", T), ("icon", SHOWN), ("button", T, DEFAULT, CX, CY), ...]
//                    for the open message box, or None
//   extent TEXT   -> (UI, SYSTEM): TEXT's width in the user-interface font and in the System font
//   memory PID    -> (PAGEFILE, WORKINGSET) in bytes, or None
//   close         -> None, having posted WM_CLOSE to the main window
#include "resource.h"
#include "version.h"

#include <windows.h>
// psapi.h needs windows.h before it.
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HWND form() {
    HWND h = FindWindowA(nullptr, WORDROPE_TITLE);
    return h && IsWindowVisible(h) ? h : nullptr;
}

const char* pyBool(bool b) { return b ? "True" : "False"; }

// The window's text as a Python string literal.
std::string textOf(HWND h) {
    wchar_t wide[4096] = {};
    GetWindowTextW(h, wide, 4096);
    char utf8[4 * 4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::string out = "'";
    for (const char* p = utf8; *p; ++p)
        out += *p == '\n'                 ? "\\n"
               : *p == '\r'               ? "\\r"
               : *p == '\\' || *p == '\'' ? std::string{'\\', *p}
                                          : std::string{*p};
    return out + "'";
}

std::string classOf(HWND h) {
    char buf[256] = {};
    GetClassNameA(h, buf, sizeof buf);
    return buf;
}

RECT rectIn(HWND h, HWND parent) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

BOOL CALLBACK findBox(HWND h, LPARAM lp) {
    DWORD pid = 0, formPid = 0;
    GetWindowThreadProcessId(h, &pid);
    GetWindowThreadProcessId(form(), &formPid);
    if (pid != formPid || !IsWindowVisible(h) || classOf(h) != "#32770") return TRUE;
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
}

BOOL CALLBACK listControl(HWND h, LPARAM lp) {
    const auto parent = reinterpret_cast<HWND>(lp);
    if (GetParent(h) != parent) return TRUE;
    const RECT r = rectIn(h, parent);
    std::printf("%d: ('%s', %ld, %ld, %ld, %ld, %s, %s), ", GetDlgCtrlID(h), classOf(h).c_str(), r.left,
                r.top, r.right - r.left, r.bottom - r.top, pyBool(GetWindowLongA(h, GWL_STYLE) & WS_TABSTOP),
                textOf(h).c_str());
    return TRUE;
}

BOOL CALLBACK listBoxPart(HWND h, LPARAM) {
    const std::string cls = classOf(h);
    const int id = GetDlgCtrlID(h);
    if (cls == "Button" && IsWindowVisible(h)) {
        const RECT r = rectIn(h, nullptr);
        std::printf("('button', %s, %s, %ld, %ld), ", textOf(h).c_str(),
                    pyBool((GetWindowLongA(h, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON), (r.left + r.right) / 2,
                    (r.top + r.bottom) / 2);
    } else if (cls == "Static" && id == 0xFFFF) {
        std::printf("('text', %s), ", textOf(h).c_str());
    } else if (cls == "Static" && id == 1088) {  // the icon's place, there even when empty
        std::printf("('icon', %s), ", pyBool(IsWindowVisible(h) && SendMessageA(h, STM_GETICON, 0, 0)));
    }
    return TRUE;
}

long extent(HDC dc, HGDIOBJ font, const std::string& text) {
    SIZE size = {};
    HGDIOBJ old = SelectObject(dc, font);
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    return size.cx;
}

void answer(const std::string& what, const std::string& arg) {
    HWND f = form();
    HWND box = nullptr;
    if (f) EnumWindows(findBox, reinterpret_cast<LPARAM>(&box));
    if (what == "form" && f) {
        DWORD pid = 0;
        GetWindowThreadProcessId(f, &pid);
        RECT r = {};
        GetClientRect(f, &r);
        MapWindowPoints(f, nullptr, reinterpret_cast<POINT*>(&r), 2);
        std::printf("(%lu, %ld, %ld, %ld, %ld)", pid, r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else if (what == "controls") {
        std::printf("{");
        if (f) EnumChildWindows(f, listControl, reinterpret_cast<LPARAM>(f));
        std::printf("}");
    } else if (what == "text") {
        std::printf("%s", f ? textOf(GetDlgItem(f, std::atoi(arg.c_str()))).c_str() : "None");
    } else if (what == "focus" && f) {
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof gui;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(f, nullptr), &gui) || !gui.hwndFocus)
            std::printf("None");
        else if (GetParent(gui.hwndFocus) == f)
            std::printf("%d", GetDlgCtrlID(gui.hwndFocus));
        else
            std::printf("'%s'", gui.hwndFocus == f ? "form" : "box");
    } else if (what == "enabled") {
        std::printf("%s", pyBool(f && IsWindowEnabled(f)));
    } else if (what == "box" && box) {
        std::printf("[('title', %s), ", textOf(box).c_str());
        EnumChildWindows(box, listBoxPart, 0);
        std::printf("]");
    } else if (what == "extent") {
        NONCLIENTMETRICSA m = {};
        m.cbSize = sizeof m;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
        HFONT ui = CreateFontIndirectA(&m.lfMessageFont);
        HDC dc = GetDC(nullptr);
        std::printf("(%ld, %ld)", extent(dc, ui, arg), extent(dc, GetStockObject(SYSTEM_FONT), arg));
        ReleaseDC(nullptr, dc);
        DeleteObject(ui);
    } else if (what == "memory") {
        HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE,
                               std::strtoul(arg.c_str(), nullptr, 10));
        PROCESS_MEMORY_COUNTERS m = {};
        m.cb = sizeof m;
        if (p && GetProcessMemoryInfo(p, &m, sizeof m))
            std::printf("(%lu, %lu)", static_cast<unsigned long>(m.PagefileUsage),
                        static_cast<unsigned long>(m.WorkingSetSize));
        else
            std::printf("None");
        if (p) CloseHandle(p);
    } else {
        if (what == "close" && f) PostMessageA(f, WM_CLOSE, 0, 0);
        std::printf("None");
    }
    std::printf("\n");
}

}  // namespace

int main() {
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        std::string command(line);
        while (!command.empty() && (command.back() == '\n' || command.back() == '\r')) command.pop_back();
        if (command == "quit") break;
        const std::size_t space = command.find(' ');
        answer(command.substr(0, space), space == std::string::npos ? "" : command.substr(space + 1));
        std::fflush(stdout);
    }
    return 0;
}
