// Picture1: a light-grey box that shows one bitmap at natural size from its top-left corner.
#pragma once

#include "bitmap.h"

#include <windows.h>

#include <string>

namespace wordrope {

inline constexpr char kPictureClass[] = "WordropePicture";

// Registers a window class of this program; one registered already, by an earlier window of the
// same process (a test's), is taken as it is.
bool registerClass(const WNDCLASSA& wc);

// Registers the window class of the box.
bool registerPictureBox(HINSTANCE instance);

// Gives the box a new bitmap, which it keeps and frees (the one before is freed at once), and the
// name a screen reader hears for it; a new name is announced to those listening, and spoken as a
// live region's change.
void setPicture(HWND box, HBITMAP bitmap, const std::string& name);

// The name of the picture the box shows.
std::string pictureName(HWND box);

// The box draws its pictures for a screen of `dpi` dots per inch: pixel for pixel at 96, larger
// beyond.
void setPictureDpi(HWND box, int dpi);

// A bitmap of the screen's kind made from a checked bitmap file; null if the system refuses it.
HBITMAP bitmapFromFile(const Bitmap& picture);

}  // namespace wordrope
