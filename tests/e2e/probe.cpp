// probe.exe: answers questions about Wordrope's windows through the Win32 API, one line a command.
//
// Runs beside the game under the same wineserver and reads commands from standard input:
//   form                 -> "form PID X Y W H" (client area on screen) or "none"
//   frame                -> "frame X Y W H": the whole main window on screen, title bar included
//   ready TITLE          -> "ready" when a visible window of that title answers a message, else "none"
//   picture              -> "picture HANDLE": the bitmap Picture1 shows now (changes with every new picture)
//   controls             -> "control ID CLASS X Y W H TABSTOP|- TEXT" lines (client coordinates), then "end"
//   text ID              -> "text TEXT"
//   focus                -> "focus ID", "focus box" (in a message box) or "focus none"
//   enabled              -> "enabled 0|1" for the main window
//   box                  -> "box" then "title T", "text T", "icon 0|1", "button ID DEFAULT CX CY TEXT" lines,
//   "end"; or "none" extent TEXT          -> "extent UI SYSTEM": TEXT's width in the user-interface font and
//   the System font memory PID           -> "memory PAGEFILE WORKINGSET" in bytes close                ->
//   posts WM_CLOSE to the main window: "ok" quit
#include <windows.h>
// psapi.h needs windows.h before it.
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char kTitle[] = "Wordrope ver.1.1 for Windows";

HWND form() {
    HWND h = FindWindowA(nullptr, kTitle);
    return h && IsWindowVisible(h) ? h : nullptr;
}

// A window's text on one line, in UTF-8: backslash, CR and LF written as \\, \r and \n.
std::string textOf(HWND h) {
    wchar_t wide[4096] = {};
    GetWindowTextW(h, wide, 4096);
    char buf[4 * 4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, buf, sizeof buf, nullptr, nullptr);
    std::string out;
    for (const char* p = buf; *p; ++p) {
        if (*p == '\\')
            out += "\\\\";
        else if (*p == '\n')
            out += "\\n";
        else if (*p == '\r')
            out += "\\r";
        else
            out += *p;
    }
    return out;
}

std::string classOf(HWND h) {
    char buf[256] = {};
    GetClassNameA(h, buf, sizeof buf);
    return buf;
}

struct BoxSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK findBox(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<BoxSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == s->pid && IsWindowVisible(h) && classOf(h) == "#32770") {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND messageBox() {
    HWND f = form();
    if (!f) return nullptr;
    BoxSearch s = {0, nullptr};
    GetWindowThreadProcessId(f, &s.pid);
    EnumWindows(findBox, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

BOOL CALLBACK listControl(HWND h, LPARAM lp) {
    HWND parent = reinterpret_cast<HWND>(lp);
    if (GetParent(h) != parent) return TRUE;
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    std::printf("control %d %s %ld %ld %ld %ld %s %s\n", GetDlgCtrlID(h), classOf(h).c_str(), r.left, r.top,
                r.right - r.left, r.bottom - r.top, (style & WS_TABSTOP) ? "TABSTOP" : "-",
                textOf(h).c_str());
    return TRUE;
}

BOOL CALLBACK listBoxPart(HWND h, LPARAM) {
    const std::string cls = classOf(h);
    const int id = GetDlgCtrlID(h);
    if (cls == "Button") {
        RECT r;
        GetWindowRect(h, &r);
        const bool def = (GetWindowLongA(h, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
        if (IsWindowVisible(h))
            std::printf("button %d %d %ld %ld %s\n", id, def ? 1 : 0, (r.left + r.right) / 2,
                        (r.top + r.bottom) / 2, textOf(h).c_str());
    } else if (cls == "Static" && id == 0xFFFF) {
        std::printf("text %s\n", textOf(h).c_str());
    } else if (cls == "Static" && id == 1088) {
        const bool icon = SendMessageA(h, STM_GETICON, 0, 0) != 0 && IsWindowVisible(h);
        std::printf("icon %d\n", icon ? 1 : 0);
    }
    return TRUE;
}

void answer(const std::string& line) {
    char cmd[32] = {};
    int a = 0, b = 0, c = 0;
    const int n = std::sscanf(line.c_str(), "%31s %d %d %d", cmd, &a, &b, &c);
    const std::string what = n > 0 ? cmd : "";
    HWND f = form();
    if (what == "form") {
        if (!f) return (void)std::printf("none\n");
        DWORD pid = 0;
        GetWindowThreadProcessId(f, &pid);
        RECT r;
        GetClientRect(f, &r);
        MapWindowPoints(f, nullptr, reinterpret_cast<POINT*>(&r), 2);
        std::printf("form %lu %ld %ld %ld %ld\n", pid, r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else if (what == "frame") {
        RECT r = {};
        if (f) GetWindowRect(f, &r);
        std::printf("frame %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else if (what == "ready") {
        HWND h = FindWindowA(nullptr, line.size() > 6 ? line.c_str() + 6 : "");
        DWORD_PTR result = 0;
        const bool ready =
            h && IsWindowVisible(h) && SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
        std::printf("%s\n", ready ? "ready" : "none");
    } else if (what == "picture") {
        HWND box = f ? GetDlgItem(f, 200) : nullptr;
        // %p prints a handle whole on both word sizes.
        std::printf("picture %p\n", box ? reinterpret_cast<void*>(GetWindowLongPtrA(box, 0)) : nullptr);
    } else if (what == "controls") {
        if (f) EnumChildWindows(f, listControl, reinterpret_cast<LPARAM>(f));
        std::printf("end\n");
    } else if (what == "text") {
        std::printf("text %s\n", f ? textOf(GetDlgItem(f, a)).c_str() : "");
    } else if (what == "focus") {
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof gui;
        const DWORD thread = f ? GetWindowThreadProcessId(f, nullptr) : 0;
        if (!f || !GetGUIThreadInfo(thread, &gui) || !gui.hwndFocus) return (void)std::printf("focus none\n");
        if (GetParent(gui.hwndFocus) == f)
            return (void)std::printf("focus %d\n", GetDlgCtrlID(gui.hwndFocus));
        std::printf("focus %s\n", gui.hwndFocus == f ? "form" : "box");
    } else if (what == "enabled") {
        std::printf("enabled %d\n", f && IsWindowEnabled(f) ? 1 : 0);
    } else if (what == "box") {
        HWND box = messageBox();
        if (!box) return (void)std::printf("none\n");
        std::printf("box\ntitle %s\n", textOf(box).c_str());
        EnumChildWindows(box, listBoxPart, 0);
        std::printf("end\n");
    } else if (what == "extent") {
        const std::string text = line.size() > 7 ? line.substr(7) : "";
        NONCLIENTMETRICSA m = {};
        m.cbSize = sizeof m;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
        HFONT ui = CreateFontIndirectA(&m.lfMessageFont);
        HDC dc = GetDC(nullptr);
        SIZE uiSize = {}, systemSize = {};
        HGDIOBJ old = SelectObject(dc, ui);
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &uiSize);
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &systemSize);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        DeleteObject(ui);
        std::printf("extent %ld %ld\n", uiSize.cx, systemSize.cx);
    } else if (what == "memory") {
        HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, static_cast<DWORD>(a));
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
        line[std::strcspn(line, "\r\n")] = '\0';
        if (std::strcmp(line, "quit") == 0) break;
        answer(line);
        std::fflush(stdout);
    }
    return 0;
}
