// What a screen reader hears of Picture1: a graphic named for the stage it shows.
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

}  // namespace wordrope
