// Resource and control ids of the main window.
#pragma once

#define IDI_WORDROPE 1
#define IDB_STARTUP 2

// Letter buttons: one contiguous range, "A" at IDC_COMMAND1; the letter is id - IDC_COMMAND1.
// No control uses 1 or 2, which mean OK and Cancel to the dialog manager.
#define IDC_COMMAND1 101
#define IDC_COMMAND26 126
#define IDC_COMMAND27 127 /* New word */
#define IDC_COMMAND28 128 /* Help */
#define IDC_COMMAND29 129 /* End */
#define IDC_PICTURE1 200
#define IDC_LABEL1 201
#define IDC_SCHERM 202
