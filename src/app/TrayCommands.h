// What the user does with the tray icon: clicks, the menu and its commands.
#ifndef DORVANE_TRAYCOMMANDS_H
#define DORVANE_TRAYCOMMANDS_H

#include <windows.h>

// The icon's callback: lParam is the mouse message. A left-button release
// toggles the door, a right-button release shows the tray menu.
void OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam);

// Carries out tray-menu command `command`, after the menu has closed.
void RunMenuCommand(HWND window, UINT command);

// The Exit command: asks for the password while the drive is locked, then
// asks the message loop to end.
void ExitProgram(HWND window);

#endif
