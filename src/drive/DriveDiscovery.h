// The machine's CD drives and the selected one.
#ifndef DORVANE_DRIVEDISCOVERY_H
#define DORVANE_DRIVEDISCOVERY_H

#include <windows.h>

enum { MAX_DRIVES = 26 };

extern char DriveLetters[MAX_DRIVES][2];   // upper-case letter and a terminator
extern LONG DriveCount;
extern LONG SelectedDrive;

// Lists the CD drives in the system's order. With none, asks whether to end
// the program: 0 when the user said Yes, else 1.
int EnumerateCdDrives();

// The MCI default drive's index (byte 0 of "Default Drive"), created as drive
// 0 when missing; 0 when it cannot be read.
int ReadDefaultDrive();

// The drive a stored index names: the index itself when it is a drive of the
// list, else drive 0, so a drive removed since is never indexed.
LONG ValidDriveIndex(LONG index);

// Tray-menu commands 40201..40226: select drive command - 40201.
void SelectDrive(HWND window, UINT command);

// "D:\" for drive `drive`.
void DriveRoot(LONG drive, char root[4]);

// The tooltip for the selected drive: what the next toggle will do.
const char* DoorTipText();

#endif
