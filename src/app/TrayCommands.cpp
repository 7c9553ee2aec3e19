#include "app/TrayCommands.h"

#include "app/MainWindow.h"
#include "app/ShellLaunch.h"
#include "app/WinMain.h"
#include "drive/DiscWatch.h"
#include "drive/DoorControl.h"
#include "drive/DriveDiscovery.h"
#include "drive/Playback.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "ui/AboutDialog.h"
#include "ui/LanguageSwitch.h"
#include "ui/OptionsDialog.h"
#include "ui/PasswordDialogs.h"

namespace {

const UINT kTrackFlags = TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_BOTTOMALIGN | TPM_RIGHTALIGN;

void ShowTrayMenu(HWND window)
{
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(window);
    POINT cursor;
    if (!GetCursorPos(&cursor)) return;
    SetMenuDefaultItem(TrayMenu, static_cast<UINT>(-1), TRUE);

    // The poller refreshes the menu only while this is set, and ticks only while it has work.
    TrayMenuOpen = 1;
    UpdatePollTimer(window);
    UINT command = static_cast<UINT>(TrackPopupMenu(TrayMenu, kTrackFlags, cursor.x, cursor.y, 0, window, NULL));
    TrayMenuOpen = 0;
    UpdatePollTimer(window);
    // Lets the menu's owner see one more message, so a second showing works at once.
    PostMessageA(window, WM_NULL, 0, 0);

    RunMenuCommand(window, command);
}

}  // namespace

void OnTrayNotify(HWND window, WPARAM, LPARAM lParam)
{
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONUP:
        ClickDoor(window);
        break;
    case WM_RBUTTONUP:
        ShowTrayMenu(window);
        break;
    }
}

void RunMenuCommand(HWND window, UINT command)
{
    switch (command) {
    case IDM_EXPLORE: BrowseDisc(0); break;
    case IDM_EXIT: ExitProgram(window); break;
    case IDM_ABOUT: OpenAboutDialog(); break;
    case IDM_OPEN_FOLDER: BrowseDisc(1); break;
    case IDM_AUTOPLAY: RunAutoplay(); break;
    case IDM_OPEN_DOOR: DoorCommand(window, DOOR_OPEN, 0); break;
    case IDM_CLOSE_DOOR: DoorCommand(window, DOOR_CLOSE, 0); break;
    case IDM_CD_PLAYER: LaunchCdPlayer(); break;
    case IDM_PLAY: PlayDisc(); break;
    case IDM_PAUSE: PauseResume(); break;
    case IDM_STOP: StopDisc(); break;
    case IDM_PREVIOUS_TRACK: StepTrack(0); break;
    case IDM_NEXT_TRACK: StepTrack(1); break;
    case IDM_SYSTEM_PROPERTIES:
    case IDM_MULTIMEDIA:
    case IDM_VOLUME_CONTROL: RunSystemTool(command); break;
    case IDM_ENGLISH:
    case IDM_RUSSIAN: SwitchLanguage(window, command); break;
    case IDM_OPTIONS: OpenOptionsDialog(); break;
    default:
        if (command >= IDM_DRIVE_FIRST && command <= IDM_DRIVE_LAST) SelectDrive(window, command);
        // Nothing chosen, the information lines and the headings do nothing.
        break;
    }
}

void ExitProgram(HWND window)
{
    if (SettingsRecord.Locked) {
        CloseOlderPrompt();
        CancelOptionsDialog();
        if (!RunPasswordPrompt(window)) return;
    }
    PostQuitMessage(1);
}
