#include "drive/DriveDiscovery.h"

char DriveLetters[MAX_DRIVES][2];
LONG DriveCount;
LONG SelectedDrive;

void SelectDrive(HWND, UINT)
{
    // Not built yet: there are no drive items to choose.
}
