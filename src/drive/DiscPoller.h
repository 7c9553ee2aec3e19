// The 500 ms look at the selected drive: the tray picture, the lock, and the
// open menu.
#ifndef DORVANE_DISCPOLLER_H
#define DORVANE_DISCPOLLER_H

#include <windows.h>

extern LONG EmptyIconShown;   // the tray shows the no-disc picture

// The timer procedure of IDT_POLL on the main window.
VOID CALLBACK PollDiscStatus(HWND window, UINT message, UINT_PTR timerId, DWORD time);

// Whether the root of drive `drive` lists anything now; the probe raises no
// system box for an empty drive.
int DriveRootListable(LONG drive);

// Shows picture 190 while the selected drive's root lists nothing, 151 again
// when it does; changes the picture only on such a change.
void UpdateDiscIcon(HWND window);

// Rewrites the drive items with their volume labels; 1 when the selected
// drive's volume could be read.
int UpdateDriveLabels();

// Writes the disc summary line (item 40019).
void UpdateTotalLength();

#endif
