// Opening and closing the selected drive's door.
#ifndef DORVANE_DOORCONTROL_H
#define DORVANE_DOORCONTROL_H

#include <windows.h>

#include "drive/DriveDiscovery.h"

enum { DOOR_TOGGLE = 0, DOOR_OPEN = 1, DOOR_CLOSE = 2 };

extern LONG DoorState[MAX_DRIVES];   // 0 closed, 1 open: the program's own record
extern LONG DoorUnlocked;            // the password was typed for the current opening
extern LONG DoorMoving;              // a door command is moving a door right now (others wait)

// Moves the selected drive's door; `quiet` leaves the tray picture alone.
void DoorCommand(HWND window, int mode, int quiet);

void ToggleDoor(HWND window);

// The icon's left click: a countdown on show ends, then the door toggles.
// While a door moves it waits its turn like any request.
void ClickDoor(HWND window);

// Runs the oldest request that waited for a door (WM_DOORWAITING).
void RunWaitingDoorCommand(HWND window);

#endif
