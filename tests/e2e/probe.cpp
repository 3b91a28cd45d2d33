// probe.exe: answers questions about Wordrope's windows through the Win32 API, one line a command.
//
// Runs beside the game under the same wineserver and reads commands from standard input:
//   form          -> "form PID X Y W H" (the client area on screen) or "none"
//   controls      -> "control ID CLASS X Y W H TABSTOP|- TEXT" lines (client coordinates), then "end"
//   text ID       -> "text TEXT"
//   focus         -> "focus ID", "focus box" (in a message box) or "focus none"
//   enabled       -> "enabled 0|1" for the main window
//   box           -> "box", "title T", "text T", "icon 0|1", "button ID DEFAULT CX CY TEXT" lines, "end"; or
//   "none" extent TEXT   -> "extent UI SYSTEM": TEXT's width in the user-interface font and in the System
//   font memory PID    -> "memory PAGEFILE WORKINGSET" in bytes close         -> "ok", having posted WM_CLOSE
//   to the main window
// Texts come in UTF-8, with backslash, CR and LF written as \\, \r and \n.
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

std::string textOf(HWND h) {
    wchar_t wide[4096] = {};
    GetWindowTextW(h, wide, 4096);
    char utf8[4 * 4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::string out;
    for (const char* p = utf8; *p; ++p)
        out += *p == '\\' ? "\\\\" : *p == '\n' ? "\\n" : *p == '\r' ? "\\r" : std::string(1, *p);
    return out;
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
    auto* box = reinterpret_cast<HWND*>(lp);
    DWORD pid = 0, formPid = 0;
    GetWindowThreadProcessId(h, &pid);
    GetWindowThreadProcessId(form(), &formPid);
    if (pid != formPid || !IsWindowVisible(h) || classOf(h) != "#32770") return TRUE;
    *box = h;
    return FALSE;
}

BOOL CALLBACK listControl(HWND h, LPARAM lp) {
    const auto parent = reinterpret_cast<HWND>(lp);
    if (GetParent(h) != parent) return TRUE;
    const RECT r = rectIn(h, parent);
    std::printf("control %d %s %ld %ld %ld %ld %s %s\n", GetDlgCtrlID(h), classOf(h).c_str(), r.left, r.top,
                r.right - r.left, r.bottom - r.top,
                (GetWindowLongA(h, GWL_STYLE) & WS_TABSTOP) ? "TABSTOP" : "-", textOf(h).c_str());
    return TRUE;
}

BOOL CALLBACK listBoxPart(HWND h, LPARAM) {
    const std::string cls = classOf(h);
    const int id = GetDlgCtrlID(h);
    if (cls == "Button" && IsWindowVisible(h)) {
        const RECT r = rectIn(h, nullptr);
        const bool isDefault = (GetWindowLongA(h, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
        std::printf("button %d %d %ld %ld %s\n", id, isDefault ? 1 : 0, (r.left + r.right) / 2,
                    (r.top + r.bottom) / 2, textOf(h).c_str());
    } else if (cls == "Static" && id == 0xFFFF) {
        std::printf("text %s\n", textOf(h).c_str());
    } else if (cls == "Static" && id == 1088) {  // the icon's place, there even when empty
        std::printf("icon %d\n", IsWindowVisible(h) && SendMessageA(h, STM_GETICON, 0, 0) ? 1 : 0);
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

void answer(const std::string& line) {
    const std::string what = line.substr(0, line.find(' '));
    const std::string arg = line.size() > what.size() ? line.substr(what.size() + 1) : "";
    HWND f = form();
    if (what == "form") {
        DWORD pid = 0;
        GetWindowThreadProcessId(f, &pid);
        RECT r = {};
        GetClientRect(f, &r);
        MapWindowPoints(f, nullptr, reinterpret_cast<POINT*>(&r), 2);
        if (!f) return (void)std::printf("none\n");
        std::printf("form %lu %ld %ld %ld %ld\n", pid, r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else if (what == "controls") {
        if (f) EnumChildWindows(f, listControl, reinterpret_cast<LPARAM>(f));
        std::printf("end\n");
    } else if (what == "text") {
        std::printf("text %s\n", f ? textOf(GetDlgItem(f, std::atoi(arg.c_str()))).c_str() : "");
    } else if (what == "focus") {
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof gui;
        if (!f || !GetGUIThreadInfo(GetWindowThreadProcessId(f, nullptr), &gui) || !gui.hwndFocus)
            return (void)std::printf("focus none\n");
        if (GetParent(gui.hwndFocus) == f)
            return (void)std::printf("focus %d\n", GetDlgCtrlID(gui.hwndFocus));
        std::printf("focus %s\n", gui.hwndFocus == f ? "form" : "box");
    } else if (what == "enabled") {
        std::printf("enabled %d\n", f && IsWindowEnabled(f) ? 1 : 0);
    } else if (what == "box") {
        HWND box = nullptr;
        if (f) EnumWindows(findBox, reinterpret_cast<LPARAM>(&box));
        if (!box) return (void)std::printf("none\n");
        std::printf("box\ntitle %s\n", textOf(box).c_str());
        EnumChildWindows(box, listBoxPart, 0);
        std::printf("end\n");
    } else if (what == "extent") {
        NONCLIENTMETRICSA m = {};
        m.cbSize = sizeof m;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
        HFONT ui = CreateFontIndirectA(&m.lfMessageFont);
        HDC dc = GetDC(nullptr);
        std::printf("extent %ld %ld\n", extent(dc, ui, arg), extent(dc, GetStockObject(SYSTEM_FONT), arg));
        ReleaseDC(nullptr, dc);
        DeleteObject(ui);
    } else if (what == "memory") {
        HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE,
                               std::strtoul(arg.c_str(), nullptr, 10));
        PROCESS_MEMORY_COUNTERS m = {};
        m.cb = sizeof m;
        if (p && GetProcessMemoryInfo(p, &m, sizeof m))
            std::printf("memory %lu %lu\n", static_cast<unsigned long>(m.PagefileUsage),
                        static_cast<unsigned long>(m.WorkingSetSize));
        else
            std::printf("none\n");
        if (p) CloseHandle(p);
    } else if (what == "close") {
        if (f) PostMessageA(f, WM_CLOSE, 0, 0);
        std::printf("ok\n");
    } else {
        std::printf("unknown %s\n", line.c_str());
    }
}

}  // namespace

int main() {
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        std::string command(line);
        while (!command.empty() && (command.back() == '\n' || command.back() == '\r')) command.pop_back();
        if (command == "quit") break;
        answer(command);
        std::fflush(stdout);
    }
    return 0;
}
