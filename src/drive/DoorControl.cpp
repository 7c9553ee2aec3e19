#include "drive/DoorControl.h"

LONG DoorState[MAX_DRIVES];
LONG DoorUnlocked;

void DoorCommand(HWND, int, int)
{
    // Not built yet: the door does not move.
}

void ToggleDoor(HWND window)
{
    DoorCommand(window, DOOR_TOGGLE, 0);
}
