// What a screen reader hears of Picture1: a graphic named for the stage it shows.
#pragma once

#include <windows.h>

namespace wordrope {

// The answer to WM_GETOBJECT for the picture box `box` (OBJID_CLIENT only; 0 for any other): the
// system's own object for the box, but with the role of a graphic and the name the box keeps for
// its picture, read at each request so that it follows the game.
LRESULT pictureAccessibleObject(HWND box, WPARAM flags, LPARAM objectId);

}  // namespace wordrope
