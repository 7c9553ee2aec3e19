// The program's one icon in the notification area.
#ifndef DORVANE_TRAYICON_H
#define DORVANE_TRAYICON_H

#include <windows.h>

enum {
    TRAY_ICON_ID = 151,        // the same number as the normal icon resource
    IDT_TRAY_RETRY = 1003,     // on the main window while the icon or its picture is missing
    TRAY_RETRY_PERIOD = 2000   // ms
};

// Adds the icon without a picture; its mouse messages come as WM_TRAYNOTIFY.
BOOL AddTrayIcon(HWND window);

// Shows icon resource `icon` in the tray, at the size the notification area
// draws, and as the window's large icon; with `withTooltip` the tooltip
// becomes "Eject CD". An icon that cannot be loaded changes nothing.
void UpdateTrayIcon(HWND window, int icon, int withTooltip);

// Sets the tooltip alone; at most 63 characters of `text` are shown.
void SetTrayTip(HWND window, const char* text);

// The shell has built its taskbar anew: after a restart it has forgotten the
// icon, after a change of display scale it draws at another size. The icon is
// added again with its picture, loaded at the size now, and the tooltip of the
// selected drive's door; a shell that still has it takes the same as a change.
// A shell still starting may refuse it, and the picture may not load: the
// icon goes in with its tooltip where it can, and a timer tries again until
// the icon and its picture are in.
void RestoreTrayIcon(HWND window);

// Takes the icon away, stops trying to put it back and frees its pictures.
void DeleteTrayIcon(HWND window);

#endif
