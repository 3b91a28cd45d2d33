// Picture1's window class: grey background, the bitmap at (0, 0) at its natural size (at 96 DPI),
// clipped; and what a screen reader hears of it.
#include "picture_box.h"

#include "picture_accessible.h"

#include <windowsx.h>

#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace wordrope {

namespace {

const COLORREF kGrey = RGB(192, 192, 192);

// What each box keeps, from WM_NCCREATE to WM_NCDESTROY.
struct Box {
    HBITMAP bitmap = nullptr;
    int dpi = 96;
    std::string name;
    IAccessible* accessible = nullptr;  // made at a screen reader's first question
};

Box* boxOf(HWND box) { return reinterpret_cast<Box*>(GetWindowLongPtrA(box, 0)); }

void PaintContent(HWND box, HDC dc, const RECT& area) {
    HBRUSH grey = CreateSolidBrush(kGrey);
    FillRect(dc, &area, grey);
    DeleteObject(grey);
    const Box* state = boxOf(box);
    if (HBITMAP bmp = state ? state->bitmap : nullptr) {
        BITMAP info;
        if (GetObjectA(bmp, sizeof info, &info) != sizeof info) return;  // nothing to draw but the grey
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, bmp);
        // Pictures are drawn for 96 dots per inch (pixel for pixel there): on a finer screen they
        // grow with the layout.
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, MulDiv(info.bmWidth, state->dpi, 96), MulDiv(info.bmHeight, state->dpi, 96), mem,
                   0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
}

void OnPaint(HWND box) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(box, &ps);
    RECT client;
    GetClientRect(box, &client);
    PaintContent(box, dc, client);
    EndPaint(box, &ps);
}

// The paint covers the whole box, so there is nothing to erase first.
BOOL OnEraseBkgnd(HWND, HDC) { return TRUE; }

void OnLButtonDown(HWND box, BOOL, int, int, UINT) { SetFocus(box); }

BOOL OnNCCreate(HWND box, LPCREATESTRUCTA cs) {
    Box* state = new (std::nothrow) Box;
    if (!state) return FALSE;
    SetWindowLongPtrA(box, 0, reinterpret_cast<LONG_PTR>(state));
    // The box keeps it in its window bytes, where the analyser loses sight of it: WM_NCDESTROY,
    // which comes for every box whose WM_NCCREATE was answered, frees it.
    return FORWARD_WM_NCCREATE(box, cs, DefWindowProcA);  // NOLINT(clang-analyzer-cplusplus.NewDeleteLeaks)
}

void OnNCDestroy(HWND box) {
    Box* state = boxOf(box);
    SetWindowLongPtrA(box, 0, 0);
    if (!state) return;
    if (state->bitmap) DeleteObject(state->bitmap);
    letGoOfPictureAccessible(state->accessible);
    delete state;
}

LRESULT CALLBACK PictureProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        HANDLE_MSG(box, WM_NCCREATE, OnNCCreate);
        HANDLE_MSG(box, WM_PAINT, OnPaint);
        HANDLE_MSG(box, WM_ERASEBKGND, OnEraseBkgnd);
        HANDLE_MSG(box, WM_LBUTTONDOWN, OnLButtonDown);
        HANDLE_MSG(box, WM_NCDESTROY, OnNCDestroy);
        case WM_GETOBJECT:
            if (Box* state = boxOf(box))
                if (const LRESULT object = pictureAccessibleObject(box, wParam, lParam, state->accessible))
                    return object;
            break;
        default:
            break;
    }
    return DefWindowProcA(box, msg, wParam, lParam);
}

}  // namespace

bool registerClass(const WNDCLASSA& wc) {
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool registerPictureBox(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PictureProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kPictureClass;
    return registerClass(wc);
}

void setPicture(HWND box, HBITMAP bitmap, const std::string& name) {
    Box* state = boxOf(box);
    if (!state) {
        if (bitmap) DeleteObject(bitmap);
        return;
    }
    if (HBITMAP old = std::exchange(state->bitmap, bitmap)) DeleteObject(old);
    if (state->name != name) {
        state->name = name;
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, box, OBJID_CLIENT, CHILDID_SELF);
        announceLiveRegion(box);
    }
    InvalidateRect(box, nullptr, FALSE);
    UpdateWindow(box);  // on screen before anything else happens, such as the loss question
}

std::string pictureName(HWND box) {
    const Box* state = boxOf(box);
    return state ? state->name : std::string();
}

void setPictureDpi(HWND box, int dpi) {
    if (Box* state = boxOf(box)) state->dpi = dpi;
    InvalidateRect(box, nullptr, FALSE);
}

HBITMAP bitmapFromFile(const Bitmap& picture) {
    // The header and colours copied where they stand aligned, as the system reads a BITMAPINFO.
    std::vector<DWORD> info((picture.info.size() + sizeof(DWORD) - 1) / sizeof(DWORD));
    std::memcpy(info.data(), picture.info.data(), picture.info.size());
    const auto* header = reinterpret_cast<const BITMAPINFO*>(info.data());
    HDC screen = GetDC(nullptr);
    HBITMAP h =
        CreateDIBitmap(screen, &header->bmiHeader, CBM_INIT, picture.pixels.data(), header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return h;
}

}  // namespace wordrope
