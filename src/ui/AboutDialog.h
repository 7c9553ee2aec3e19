// The About dialog: name, version, credits, help, home page and mail.
#ifndef DORVANE_ABOUTDIALOG_H
#define DORVANE_ABOUTDIALOG_H

#include <windows.h>

#define SUPPORT_MAIL "support@dorvane.example"

extern HWND AboutWindow;   // the shown About dialog, or null

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the dialog, or brings the shown one to the front.
void OpenAboutDialog();

#endif
