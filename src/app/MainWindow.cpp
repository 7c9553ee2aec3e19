#include "app/MainWindow.h"

#include <commctrl.h>
#include <dbt.h>

#include "app/ShellRestart.h"
#include "app/TrayCommands.h"
#include "app/TrayIcon.h"
#include "app/WinMain.h"
#include "drive/DiscPoller.h"
#include "drive/DiscWatch.h"
#include "drive/DoorControl.h"
#include "drive/Mci.h"
#include "drive/Playback.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "ui/MenuBitmaps.h"
#include "ui/MessageBoxes.h"
#include "ui/StringTable.h"
#include "ui/TrayMenu.h"

HMENU TrayMenu;
LONG TrayMenuOpen;

namespace {

// The loaded menu resource; TrayMenu is its first pop-up. Destroying this one
// destroys both.
HMENU MenuResource;

// A failed initialisation step ends the program through the message loop, so
// the steps after it still run and the usual teardown cleans up.
void FailInitStep(int id)
{
    MessageBoxById(NULL, id, MB_OK);
    PostQuitMessage(1);
}

}  // namespace

BOOL RegisterDoorHotKey(HWND window, WORD hotKey)
{
    BYTE flags = HIBYTE(hotKey);
    UINT modifiers = 0;
    if (flags & HOTKEYF_ALT) modifiers |= MOD_ALT;
    if (flags & HOTKEYF_CONTROL) modifiers |= MOD_CONTROL;
    if (flags & HOTKEYF_SHIFT) modifiers |= MOD_SHIFT;
    return RegisterHotKey(window, IDHK_DOOR, modifiers, LOBYTE(hotKey));
}

BOOL InitMainWindow(HWND window)
{
    MenuResource = LoadMenuA(AppInstance, MAKEINTRESOURCEA(IDR_TRAY_MENU));
    TrayMenu = MenuResource != NULL ? GetSubMenu(MenuResource, 0) : NULL;
    if (TrayMenu == NULL) FailInitStep(IDS_MENU_FAILED);

    // Explorer may restart at any time from here on.
    WatchShellRestart(window);
    if (!AddTrayIcon(window)) FailInitStep(IDS_ICON_FAILED);

    LoadSettings();
    UpdateTrayIcon(window, IDI_DORVANE, 1);

    // InitDrives has asked the user already when it gives up.
    if (!InitDrives()) PostQuitMessage(1);

    // From here the picture follows the system's word on the drive; the tick
    // runs only while it has work (a lock on from the start has).
    UpdateDiscIcon(window);
    UpdatePollTimer(window);

    // Only the hot-key and up-down controls of Options need the common
    // controls: they come once the icon is in, not before it.
    InitCommonControls();

    // A key held by another program, or no key at all, just leaves the
    // program without a hot key.
    RegisterDoorHotKey(window, SettingsRecord.HotKey);

    SetForegroundWindow(GetDesktopWindow());
    return TRUE;
}

void ShutdownMainWindow(HWND window)
{
    UnregisterHotKey(window, IDHK_DOOR);
    DeleteTrayIcon(window);
    if (MenuResource != NULL) DestroyMenu(MenuResource);
    MenuResource = NULL;
    TrayMenu = NULL;
    // The pictures outlive the menu that showed them; DestroyMenu leaves them.
    FreeMenuBitmaps();
    KillTimer(window, IDT_POLL);
    // Release the audio device; an open door stays open.
    if (CdAudioOpen) {
        StopDisc();
        SendMciCommand("close cdaudio", NULL, 0, NULL, 0, 0);
    }
}

INT_PTR CALLBACK MainDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A registered message has no fixed number, so no case of its own. The
    // window is never shown: this broadcast, not WM_DPICHANGED, is what tells
    // it of a new display scale.
    if (TaskbarCreatedMessage != 0 && message == TaskbarCreatedMessage) {
        RestoreTrayIcon(window);
        return TRUE;
    }
    switch (message) {
    case WM_INITDIALOG:
        return InitMainWindow(window);
    case WM_DESTROY:
        ShutdownMainWindow(window);
        SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_HOTKEY:
        ToggleDoor(window);
        return TRUE;
    case WM_TRAYNOTIFY:
        OnTrayNotify(window, wParam, lParam);
        return TRUE;
    case WM_DOORWAITING:
        RunWaitingDoorCommand(window);
        return TRUE;
    case WM_DEVICECHANGE:
        OnDeviceChange(window, wParam, lParam);
        // Nothing the system asks leave for is refused.
        SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    return FALSE;
}
