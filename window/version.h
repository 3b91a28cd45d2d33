// The version of Wordrope, defined here and read by everything else: the window's title and credit
// line, the build (CMakeLists.txt), the release's name and the players' read-me.
#pragma once

#define WORDROPE_VERSION "1.1"
#define WORDROPE_TITLE "Wordrope ver." WORDROPE_VERSION " for Windows"

// The executable's version record says 1.00 for the file and the product, as it always has.
#define WORDROPE_RECORD_NUMBERS 1, 0, 0, 0
#define WORDROPE_RECORD_TEXT "1.00"
