// Message boxes captioned with the program's name.
#ifndef DORVANE_MESSAGEBOXES_H
#define DORVANE_MESSAGEBOXES_H

#include <windows.h>

// Shows text `id` in the current language, owned by `owner` (or none), with
// MB_SETFOREGROUND added: the program has no visible window of its own.
int MessageBoxById(HWND owner, int id, UINT flags);

// Shows the code page 1251 `text` as MessageBoxById does; a NULL `caption`
// means the program's name in the current language.
int MessageBoxText(HWND owner, const char* text, UINT flags, const char* caption);

// Asks `text` as a yes/no question with no owner; 1 when the answer is Yes.
int AskYesNo(const char* text);

#endif
