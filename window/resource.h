// Resource and control ids of the main window; the form designer's names of the controls stand in
// the control table (layout.cpp).
#pragma once

#define IDI_WORDROPE 1
#define IDB_STARTUP 2

// Letter buttons: one contiguous range, "A" to "Z"; the letter is id - IDC_LETTER_A.
// No control uses 1 or 2, which mean OK and Cancel to the dialog manager.
#define IDC_LETTER_A 101
#define IDC_LETTER_Z 126
#define IDC_NEW_WORD 127
#define IDC_SHOW_HELP 128
#define IDC_END_GAME 129
#define IDC_GALLOWS 200
#define IDC_CREDITS 201
#define IDC_SCHERM 202 /* the masked word */
