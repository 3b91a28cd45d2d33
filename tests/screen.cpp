// Reading windows and the screen for the Windows tests.
#include "screen.h"

#include "resource.h"
#include "support.h"
#include "utf8.h"

#include <oleacc.h>

namespace wordrope::test {

// A screen reader's calls, and the window's own, go through COM: initialised once, on the tests' one thread.
const HRESULT kCom = CoInitialize(nullptr);

std::string picture(int width, int height, COLORREF c) {
    return bitmapFile(width, height, GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
}

int letter(char c) { return IDC_LETTER_A + (c - 'a'); }

std::string textOf(HWND h) {
    wchar_t buf[4096] = {};
    GetWindowTextW(h, buf, 4096);
    return narrow(buf);
}

std::string classOf(HWND h) {
    char buf[64] = {};
    GetClassNameA(h, buf, sizeof buf);
    return buf;
}

std::string nameOf(IAccessible* object, const VARIANT& child) {
    BSTR name = nullptr;
    const std::string out =
        object->get_accName(child, &name) == S_OK && name ? narrow(name) : "";  // S_FALSE: none
    SysFreeString(name);
    return out;
}

Heard heard(HWND h) {
    Heard out = {"(no object)", 0};
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(h, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))))
        return out;
    VARIANT self = {}, role = {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    out.first = nameOf(object, self);
    if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4) out.second = role.lVal;
    object->Release();
    return out;
}

COLORREF pixelOf(HWND h, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(h, &p);
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

Ink inkOf(HWND h, int inset) {
    RECT r = {};
    GetClientRect(h, &r);
    const int width = r.right - inset, height = r.bottom - inset;
    const auto sum = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); };
    // The area copied from the screen at once: a read of each pixel on its own is slow.
    POINT corner = {0, 0};
    ClientToScreen(h, &corner);
    HDC screen = GetDC(nullptr), copy = CreateCompatibleDC(screen);
    HBITMAP area = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(copy, area);
    BitBlt(copy, 0, 0, r.right, r.bottom, screen, corner.x, corner.y, SRCCOPY);
    Ink ink;
    for (int x = inset; x < width; ++x)
        for (int y = inset; y < height; ++y) {
            const COLORREF c = GetPixel(copy, x, y);
            if (sum(c) < sum(ink.darkest)) ink.darkest = c;
            if (sum(c) < 200) {
                ink.first = ink.first < 0 ? x : ink.first;
                ink.last = x;
            }
        }
    DeleteObject(SelectObject(copy, old));
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);
    return ink;
}

std::wstring plantedFolder() {
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path(self, n);
    return path.substr(0, path.find_last_of(L'\\')) + L"\\planted";
}

}  // namespace wordrope::test
