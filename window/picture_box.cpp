// Picture1's window class: grey background, the bitmap at (0, 0) at its natural size (at 96 DPI), clipped.
#include "picture_box.h"

#include "layout.h"

#include <windowsx.h>

namespace wordrope {

namespace {

const COLORREF kGrey = RGB(192, 192, 192);

HBITMAP bitmapOf(HWND box) { return reinterpret_cast<HBITMAP>(GetWindowLongPtrA(box, 0)); }

void PaintContent(HWND box, HDC dc, const RECT& area) {
    HBRUSH grey = CreateSolidBrush(kGrey);
    FillRect(dc, &area, grey);
    DeleteObject(grey);
    if (HBITMAP bmp = bitmapOf(box)) {
        BITMAP info;
        GetObjectA(bmp, sizeof info, &info);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, bmp);
        // Pictures are drawn for 96 dots per inch (pixel for pixel there): on a finer screen they
        // grow with the layout.
        const auto [dpiX, dpiY] = screenDpi();
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, MulDiv(info.bmWidth, dpiX, 96), MulDiv(info.bmHeight, dpiY, 96), mem, 0, 0,
                   info.bmWidth, info.bmHeight, SRCCOPY);
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

void OnDestroy(HWND box) { setPicture(box, nullptr); }

LRESULT CALLBACK PictureProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        HANDLE_MSG(box, WM_PAINT, OnPaint);
        HANDLE_MSG(box, WM_ERASEBKGND, OnEraseBkgnd);
        HANDLE_MSG(box, WM_LBUTTONDOWN, OnLButtonDown);
        HANDLE_MSG(box, WM_DESTROY, OnDestroy);
    }
    return DefWindowProcA(box, msg, wParam, lParam);
}

}  // namespace

bool registerPictureBox(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PictureProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kPictureClass;
    return RegisterClassA(&wc) != 0;
}

void setPicture(HWND box, HBITMAP bitmap) {
    HBITMAP old = reinterpret_cast<HBITMAP>(SetWindowLongPtrA(box, 0, reinterpret_cast<LONG_PTR>(bitmap)));
    if (old) DeleteObject(old);
    InvalidateRect(box, nullptr, FALSE);
    UpdateWindow(box);  // on screen before anything else happens, such as the loss question
}

}  // namespace wordrope
