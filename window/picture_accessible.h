// What a screen reader hears of the window: Picture1 a graphic named for the stage it shows, and
// the live regions, whose changes it speaks wherever the focus is.
#pragma once

#include <windows.h>
// These need windows.h before them.
#include <oleacc.h>

namespace wordrope {

// The answer to WM_GETOBJECT for the picture box `box` (OBJID_CLIENT only; 0 for any other): the
// system's own object for the box, but with the role of a graphic and the name the box keeps for
// its picture, read at each question so that it follows the game. The object is made at the first
// question and kept in `kept`, with COM's stub for it: every later question gets the same one, as
// COM wants of a window's object, and costs no memory.
LRESULT pictureAccessibleObject(HWND box, WPARAM flags, LPARAM objectId, IAccessible*& kept);

// When the box goes: the object kept is cut off from every reader still holding it (they get an
// error) and let go.
void letGoOfPictureAccessible(IAccessible*& kept);

// Marks `control` a polite live region through Active Accessibility's Dynamic Annotation (Windows
// 8 on); where the system has none or refuses it (Windows XP, Wine), nothing happens. The mark is
// taken off again by unmarkLiveRegion before the control goes.
void markLiveRegion(HWND control);
void unmarkLiveRegion(HWND control);

// Tells screen readers that the live region `control` has changed: its name is the new one.
void announceLiveRegion(HWND control);

}  // namespace wordrope
