// Picture1: a light-grey box that shows one bitmap at natural size from its top-left corner.
#pragma once

#include <windows.h>

namespace wordrope {

inline constexpr char kPictureClass[] = "WordropePicture";

// Registers the window class; the box owns the bitmap it is given (WM_SETPICTURE).
bool registerPictureBox(HINSTANCE instance);

// Gives the box a new bitmap, which it keeps and frees; the one before is freed at once.
void setPicture(HWND box, HBITMAP bitmap);

}  // namespace wordrope
