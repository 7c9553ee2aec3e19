// The auto-close countdown dialog.
#ifndef DORVANE_AUTOCLOSEDIALOG_H
#define DORVANE_AUTOCLOSEDIALOG_H

#include <windows.h>

extern HWND AutoCloseWindow;   // the showing countdown, or null

// Dialog 107, run by door control after an opening.
INT_PTR CALLBACK AutoCloseDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
