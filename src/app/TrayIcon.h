// The program's one icon in the notification area.
#ifndef DORVANE_TRAYICON_H
#define DORVANE_TRAYICON_H

#include <windows.h>

enum { TRAY_ICON_ID = 151 };   // the same number as the normal icon resource

// Adds the icon without a picture; its mouse messages come as WM_TRAYNOTIFY.
BOOL AddTrayIcon(HWND window);

// Shows icon resource `icon` in the tray and as the window's large icon;
// with `withTooltip` the tooltip becomes "Eject CD". An icon that cannot be
// loaded changes nothing.
void UpdateTrayIcon(HWND window, int icon, int withTooltip);

// Sets the tooltip alone; at most 63 characters of `text` are shown.
void SetTrayTip(HWND window, const char* text);

void DeleteTrayIcon(HWND window);

#endif
