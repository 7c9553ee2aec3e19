// The Options dialog.
#ifndef DORVANE_OPTIONSDIALOG_H
#define DORVANE_OPTIONSDIALOG_H

#include <windows.h>

extern HWND OptionsWindow;   // the open Options dialog, or null

INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the dialog, or brings the open one to the front.
void OpenOptionsDialog();

// Ends an open Options dialog as if its Cancel button were pressed.
void CancelOptionsDialog();

#endif
