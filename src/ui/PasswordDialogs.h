// The password prompt and the password-change dialog.
#ifndef DORVANE_PASSWORDDIALOGS_H
#define DORVANE_PASSWORDDIALOGS_H

#include <windows.h>

enum { PASSWORD_LIMIT = 20 };   // characters a password may have

extern HWND PasswordPromptWindow;   // the open password prompt, or null
extern HWND PasswordChangeWindow;   // the open password-change dialog, or null
extern const char MasterPassword[];

// Dialog 109: ends with 1 when the stored or the master password was typed,
// with 2 when cancelled.
INT_PTR CALLBACK PasswordPromptDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog 108: ends with 1 once a new password is stored and saved, with 2
// when cancelled.
INT_PTR CALLBACK PasswordChangeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Only the newest prompt remains: a prompt or a password change shown
// earlier, in a loop further down, ends as cancelled, confirming and storing
// nothing, and gives its owner back.
void CloseOlderPrompt();

// Shows the prompt owned by `owner`; 1 when the password was confirmed.
int RunPasswordPrompt(HWND owner);

#endif
