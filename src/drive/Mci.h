// The one way to the drive: MCI command strings.
#ifndef DORVANE_MCI_H
#define DORVANE_MCI_H

#include <windows.h>

// Sends `command`; 1 on success. With `report` a failure is shown to the
// user, in MCI's own words when `useMciText` is set.
int SendMciCommand(const char* command, char* answer, UINT answerSize, HWND notifyWindow, int report, int useMciText);

#endif
