// The version the executable carries in its version record.
#pragma once

#define WORDROPE_VERSION_NUMBERS 1, 0, 0, 0
#define WORDROPE_VERSION_TEXT "1.00"
#define WORDROPE_TITLE "Wordrope ver.1.1 for Windows"
