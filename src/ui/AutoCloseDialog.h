// The auto-close countdown dialog.
#ifndef DORVANE_AUTOCLOSEDIALOG_H
#define DORVANE_AUTOCLOSEDIALOG_H

#include <windows.h>

extern HWND AutoCloseWindow;   // the showing countdown, or null

#endif
