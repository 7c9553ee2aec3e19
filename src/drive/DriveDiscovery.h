// The machine's CD drives and the selected one.
#ifndef DORVANE_DRIVEDISCOVERY_H
#define DORVANE_DRIVEDISCOVERY_H

#include <windows.h>

enum { MAX_DRIVES = 26 };

extern char DriveLetters[MAX_DRIVES][2];   // upper-case letter and a terminator
extern LONG DriveCount;
extern LONG SelectedDrive;

// Tray-menu commands 40201..40226: select drive command - 40201.
void SelectDrive(HWND window, UINT command);

#endif
