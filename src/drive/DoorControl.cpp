#include "drive/DoorControl.h"

#include "app/MainWindow.h"
#include "app/TrayIcon.h"
#include "app/WinMain.h"
#include "drive/DefaultDrive.h"
#include "drive/DiscPoller.h"
#include "drive/DiscWatch.h"
#include "drive/Mci.h"
#include "drive/Playback.h"
#include "res/resource.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "ui/AutoCloseDialog.h"
#include "ui/DialogText.h"
#include "ui/MessageBoxes.h"
#include "ui/OptionsDialog.h"
#include "ui/PasswordDialogs.h"
#include "ui/StringTable.h"

LONG DoorState[MAX_DRIVES];
LONG DoorUnlocked;
LONG DoorMoving;

namespace {

// A request that came while a door moved; it runs once the door has stopped.
LONG DoorPending;
int PendingMode;

// Asks for the password before the door of a locked drive opens. An older
// prompt gives way to this one; an open Options dialog is cancelled first.
int ConfirmPassword(HWND window)
{
    CloseOlderPrompt();
    CancelOptionsDialog();
    return RunPasswordPrompt(window);
}

// "Default Drive" as it was before the door command aimed it at the selected
// drive; `changed` says whether it has to be put back.
struct AimedDrive {
    DefaultDriveValue original;
    int changed;
};

// Points the MCI default drive at `drive` for the door command. 0 when door
// control has to stop here (a message has been shown where one is due).
int AimMciAtDrive(LONG drive, AimedDrive* aimed)
{
    aimed->changed = 0;
    HKEY key;
    if (!OpenRegKey(HKEY_LOCAL_MACHINE, MCI_CDAUDIO_KEY, &key)) return 0;
    if (!QueryDefaultDrive(key, &aimed->original)) {
        RegCloseKey(key);
        MessageBoxById(MainWindow, IDS_READ_FAILED, MB_OK);
        return 0;
    }
    if (aimed->original.bytes[0] != drive) {
        if (!SetDefaultDrive(key, static_cast<BYTE>(drive))) {
            RegCloseKey(key);
            MessageBoxById(MainWindow, IDS_WRITE_FAILED, MB_OK);
            return 0;
        }
        aimed->changed = 1;
    }
    return RegCloseKey(key) == ERROR_SUCCESS;
}

// Puts "Default Drive" back byte for byte. 0 when door control has to stop
// here (a message has been shown where one is due).
int RestoreMciDrive(const AimedDrive* aimed)
{
    if (!aimed->changed) return 1;
    HKEY key;
    if (!OpenRegKey(HKEY_LOCAL_MACHINE, MCI_CDAUDIO_KEY, &key)) {
        MessageBoxById(MainWindow, IDS_READ_FAILED, MB_OK);
        return 0;
    }
    if (!RestoreDefaultDrive(key, &aimed->original)) {
        RegCloseKey(key);
        MessageBoxById(MainWindow, IDS_WRITE_FAILED, MB_OK);
        return 0;
    }
    return RegCloseKey(key) == ERROR_SUCCESS;
}

// Opens the door's own alias of the cdaudio device. A close that failed
// after an earlier door command leaves the alias taken, and every open after
// it would fail: that alias is closed and the open tried once more.
int OpenDoorAlias()
{
    const char open[] = "open cdaudio alias cd4open shareable";
    if (SendMciCommand(open, NULL, 0, NULL, 0, 0)) return 1;
    return SendMciCommand("close cd4open", NULL, 0, NULL, 0, 0) && SendMciCommand(open, NULL, 0, NULL, 0, 0);
}

// Moves the door through an alias of its own, with "Default Drive" aimed at
// `drive` meanwhile. 0 when the command could not be sent.
int MoveDoor(HWND window, LONG drive, int mode, int quiet)
{
    // Release the playback device: the door is moved through an alias of its own.
    if (SendMciCommand("close cdaudio", NULL, 0, NULL, 0, 0)) CdAudioOpen = 0;

    AimedDrive aimed = {};
    if (DriveCount > 1 && !AimMciAtDrive(drive, &aimed)) {
        RestoreMciDrive(&aimed);
        return 0;
    }
    if (!OpenDoorAlias()) {
        RestoreMciDrive(&aimed);
        return 0;
    }
    CdAudioOpen = 1;

    if (mode == DOOR_TOGGLE) mode = DoorState[drive] ? DOOR_CLOSE : DOOR_OPEN;
    // The record follows the request, not the drive; the tooltip names the next action.
    DoorState[drive] = mode == DOOR_OPEN;
    const char* command = mode == DOOR_OPEN ? "set cd4open door open wait" : "set cd4open door closed wait";
    int tip = mode == DOOR_OPEN ? IDS_CLOSE_CD : IDS_EJECT_CD;

    if (!quiet) UpdateTrayIcon(window, IDI_DOOR_MOVING, 0);
    // Closing the drive that is playing would stop the music for nothing. A
    // drive whose root lists nothing plays nothing, whatever the flags say:
    // its tray was opened by hand, and the lock must shut it.
    int keepsPlaying = Playing && !aimed.changed && mode == DOOR_CLOSE && DriveRootListable(drive);
    if (!keepsPlaying) SendMciCommand(command, NULL, 0, NULL, 1, 0);
    if (!quiet) UpdateTrayIcon(window, EmptyIconShown ? IDI_NO_DISC : IDI_DORVANE, 0);

    SendMciCommand("close cd4open", NULL, 0, NULL, 0, 0);
    SetTrayTip(window, UiText(tip));
    if (!RestoreMciDrive(&aimed)) {
        // "Default Drive" may still name this drive: the playback device is
        // not opened on it, and nothing follows.
        CdAudioOpen = 0;
        return 0;
    }

    if (aimed.changed || (Playing && mode == DOOR_CLOSE)) {
        // Playback on the default drive goes on; hold its device again.
        CdAudioOpen = SendMciCommand("open cdaudio", NULL, 0, NULL, 0, 0);
    } else {
        // A door movement on the playback drive ends whatever was playing.
        Playing = 0;
        Paused = 0;
        CdAudioOpen = 0;
    }
    return 1;
}

}  // namespace

void DoorCommand(HWND window, int mode, int quiet)
{
    // Without a drive there is no door to ask a password for, or to keep shut.
    if (DriveCount == 0) return;
    // The shell hands the icon's clicks over inside our own calls to it, and
    // an error box shown meanwhile takes clicks too, so a request can arrive
    // while a door moves. The newest one waits until the door stops, as in a
    // program that handled one message at a time; the lock's own close comes
    // again with the poller's next tick.
    if (DoorMoving) {
        if (!quiet) {
            DoorPending = 1;
            PendingMode = mode;
        }
        return;
    }
    LONG drive = SelectedDrive;
    int opening = mode == DOOR_OPEN || (mode == DOOR_TOGGLE && DoorState[drive] == 0);
    if (!opening) {
        DoorUnlocked = 0;
    } else if (SettingsRecord.Locked) {
        if (!ConfirmPassword(window)) return;
        DoorUnlocked = 1;
    }
    // The lock's tick runs while it has a door to keep shut.
    UpdatePollTimer(window);

    DoorMoving = 1;
    int moved = MoveDoor(window, drive, mode, quiet);
    DoorMoving = 0;
    // The tray has moved: the picture shows what the drive holds now.
    if (!quiet) UpdateDiscIcon(window);

    // The request that waited decides what follows, countdown included.
    if (DoorPending) {
        DoorPending = 0;
        DoorCommand(window, PendingMode, 0);
        return;
    }
    if (!moved || !SettingsRecord.AutoCloseAllowed || DoorState[drive] != 1) return;
    // The door hot key leaves a countdown on show; an opening meanwhile
    // starts that one afresh rather than a second one over it.
    if (AutoCloseWindow != NULL) RestartAutoClose();
    else RunDialog(IDD_AUTOCLOSE, window, AutoCloseDlgProc);
}

void ToggleDoor(HWND window)
{
    DoorCommand(window, DOOR_TOGGLE, 0);
}
