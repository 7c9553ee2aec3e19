// The hidden main window: owner of the tray icon, the tray menu, the door hot
// key and the disc status timer.
#ifndef DORVANE_MAINWINDOW_H
#define DORVANE_MAINWINDOW_H

#include <windows.h>

#define WM_TRAYNOTIFY (WM_USER + 100)   // the tray icon's callback message
#define WM_DOORWAITING (WM_USER + 101)  // a door request that waited may run now

enum {
    IDT_POLL = 1001,        // disc status timer on the main window
    POLL_PERIOD = 500,      // ms
    IDHK_DOOR = 2001        // the global door hot key
};

extern HMENU TrayMenu;      // sub-menu 0 of the tray menu resource
extern LONG TrayMenuOpen;   // 1 exactly while the tray menu is tracked

INT_PTR CALLBACK MainDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL InitMainWindow(HWND window);
void ShutdownMainWindow(HWND window);

// Registers `hotKey` (hot-key control encoding) as the door hot key of `window`.
BOOL RegisterDoorHotKey(HWND window, WORD hotKey);

#endif
