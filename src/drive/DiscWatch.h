// Between ticks: the system's word on the media, and when the tick runs at all.
#ifndef DORVANE_DISCWATCH_H
#define DORVANE_DISCWATCH_H

#include <windows.h>

// Runs the 500 ms tick exactly while it has work: the tray menu is open, or
// the lock has a door to keep shut. Every change of those conditions comes
// through here. A tick that is due but cannot be had ends the program after
// its message, as at start.
void UpdatePollTimer(HWND window);

// WM_DEVICECHANGE: the system says a disc came into a drive or went out of it.
// For the selected drive the tray picture follows at once.
void OnDeviceChange(HWND window, WPARAM event, LPARAM data);

#endif
