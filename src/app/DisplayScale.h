// The display scale the notification area draws at.
#ifndef DORVANE_DISPLAYSCALE_H
#define DORVANE_DISPLAYSCALE_H

#include <windows.h>

// The side in pixels of the tray's icons now: the small-icon size at the DPI
// of the monitor whose taskbar holds the notification area.
int TrayIconSize();

#endif
