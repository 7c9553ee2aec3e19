// Start-up: the process-wide handles and the install directory.
#ifndef DORVANE_WINMAIN_H
#define DORVANE_WINMAIN_H

#include <windows.h>

#include "settings/Settings.h"

#define COMPANION_NAME "Ambergate.exe"
#define COMPANION_ARGUMENTS " 236 \"Dorvane_is1\""

extern HINSTANCE AppInstance;
extern HWND MainWindow;               // null until the main window's creation call returns
extern char InstallDir[PATH_SIZE];    // no trailing backslash

// Running instances of the program, shared by all its processes; -1 when none runs.
extern volatile LONG InstanceCount;

#endif
