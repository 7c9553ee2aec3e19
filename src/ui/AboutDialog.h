// The About dialog.
#ifndef DORVANE_ABOUTDIALOG_H
#define DORVANE_ABOUTDIALOG_H

#include <windows.h>

extern HWND AboutWindow;   // the shown About dialog, or null

// Opens the dialog, or brings the shown one to the front.
void OpenAboutDialog();

#endif
