// The 500 ms look at the selected drive.
#ifndef DORVANE_DISCPOLLER_H
#define DORVANE_DISCPOLLER_H

#include <windows.h>

extern LONG EmptyIconShown;   // the tray shows the no-disc picture

VOID CALLBACK PollDiscStatus(HWND window, UINT message, UINT_PTR timerId, DWORD time);

#endif
