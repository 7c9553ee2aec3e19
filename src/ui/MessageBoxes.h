// Message boxes captioned with the program's name.
#ifndef DORVANE_MESSAGEBOXES_H
#define DORVANE_MESSAGEBOXES_H

#include <windows.h>

// Shows text `id` in the current language, owned by `owner` (or none), with
// MB_SETFOREGROUND added: the program has no visible window of its own.
int MessageBoxById(HWND owner, int id, UINT flags);

#endif
