// The password prompt and the password-change dialog.
#ifndef DORVANE_PASSWORDDIALOGS_H
#define DORVANE_PASSWORDDIALOGS_H

#include <windows.h>

extern HWND PasswordPromptWindow;   // the open password prompt, or null

// Dialog 109; the dialog ends with 1 when the password was confirmed.
INT_PTR CALLBACK PasswordPromptDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
