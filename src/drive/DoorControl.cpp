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

// Requests that came while a door moved, oldest first. Each runs from the
// message loop the door command that held it up goes back to (its countdown's,
// or the main one), as in a program that handled one message at a time.
struct WaitingRequest {
    int mode;
    int click;   // the icon's click, which ends a countdown on show first
};
const int kMostWaiting = 4;
WaitingRequest Waiting[kMostWaiting];
int WaitingCount;
LONG WaitingCalled;   // a WM_DOORWAITING is on its way

// Past the queue's end the newest request folds into the last one: the door
// still ends where all of them would leave it, without the trips between
// (two toggles there and back cancel).
void Enqueue(int mode, int click)
{
    if (WaitingCount < kMostWaiting) {
        Waiting[WaitingCount].mode = mode;
        Waiting[WaitingCount].click = click;
        ++WaitingCount;
        return;
    }
    WaitingRequest& last = Waiting[WaitingCount - 1];
    if (mode == DOOR_TOGGLE && last.mode == DOOR_TOGGLE) {
        --WaitingCount;
        return;
    }
    if (mode == DOOR_TOGGLE) mode = last.mode == DOOR_OPEN ? DOOR_CLOSE : DOOR_OPEN;
    last.mode = mode;
    last.click = last.click || click;
}

// A user's request waits while a door moves, and behind the requests that
// waited before it.
int MustWait()
{
    return DoorMoving || WaitingCount > 0;
}

// Asks the main window to run the oldest waiting request once its loop turns.
void CallWaiting(HWND window)
{
    if (WaitingCount > 0 && !WaitingCalled) WaitingCalled = PostMessageA(window, WM_DOORWAITING, 0, 0);
}

// Asks for the password before the door of a locked drive opens. An older
// prompt gives way to this one; an open Options dialog is cancelled first.
int ConfirmPassword(HWND window)
{
    CloseOlderPrompt();
    CancelOptionsDialog();
    return RunPasswordPrompt(window);
}

// How the door command reaches the selected drive. "Default Drive" is aimed
// at it when the value can be written, and put back afterwards; where it
// cannot (a standard user may only read it), the door's alias names the
// drive itself instead.
struct AimedDrive {
    DefaultDriveValue original;
    int named;       // the alias names the drive: nothing was aimed
    int elsewhere;   // the drive is not the one the playback device addresses
};

// Where "Default Drive" cannot be aimed, the alias names the drive; the value
// is still read, as far as it can be, for the drive the playback device
// addresses (without the value, the first one).
void NameDrive(LONG drive, AimedDrive* aimed)
{
    aimed->named = 1;
    HKEY key;
    int read = OpenRegKey(HKEY_LOCAL_MACHINE, MCI_CDAUDIO_KEY, KEY_QUERY_VALUE, &key);
    if (read) {
        read = QueryDefaultDrive(key, &aimed->original);
        RegCloseKey(key);
    }
    if (!read) aimed->original.bytes[0] = 0;
    aimed->elsewhere = aimed->original.bytes[0] != drive;
}

// Points the MCI default drive at `drive` for the door command. 0 when door
// control has to stop here (a message has been shown where one is due).
int AimMciAtDrive(LONG drive, AimedDrive* aimed)
{
    HKEY key;
    LSTATUS status = ERROR_SUCCESS;
    if (!OpenRegKey(HKEY_LOCAL_MACHINE, MCI_CDAUDIO_KEY, KEY_QUERY_VALUE | KEY_SET_VALUE, &key, &status)) {
        // A key that is not the user's to write, or not there at all, is not aimed.
        if (status != ERROR_ACCESS_DENIED && status != ERROR_FILE_NOT_FOUND) return 0;
        NameDrive(drive, aimed);
        return 1;
    }
    if (!QueryDefaultDrive(key, &aimed->original)) {
        RegCloseKey(key);
        MessageBoxById(MainWindow, IDS_READ_FAILED, MB_OK);
        return 0;
    }
    aimed->elsewhere = aimed->original.bytes[0] != drive;
    if (aimed->elsewhere && !SetDefaultDrive(key, static_cast<BYTE>(drive), &status)) {
        if (status != ERROR_ACCESS_DENIED) {
            RegCloseKey(key);
            MessageBoxById(MainWindow, IDS_WRITE_FAILED, MB_OK);
            return 0;
        }
        aimed->named = 1;
    }
    return RegCloseKey(key) == ERROR_SUCCESS;
}

// Puts "Default Drive" back byte for byte. 0 when door control has to stop
// here (a message has been shown where one is due).
int RestoreMciDrive(const AimedDrive* aimed)
{
    // Only a "Default Drive" that was aimed elsewhere has to be put back.
    if (!aimed->elsewhere || aimed->named) return 1;
    HKEY key;
    if (!OpenRegKey(HKEY_LOCAL_MACHINE, MCI_CDAUDIO_KEY, KEY_SET_VALUE, &key)) {
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

// Opens the door's own alias of the cdaudio device, on the default drive or,
// with `named`, on `drive` by its letter. A close that failed after an
// earlier door command leaves the alias taken, and every open after it would
// fail: that alias is closed and the open tried once more.
int OpenDoorAlias(LONG drive, int named)
{
    char openNamed[] = "open D: type cdaudio alias cd4open shareable";
    openNamed[5] = DriveLetters[drive][0];
    const char* command = named ? openNamed : "open cdaudio alias cd4open shareable";
    if (SendMciCommand(command, NULL, 0, NULL, 0, 0)) return 1;
    return SendMciCommand("close cd4open", NULL, 0, NULL, 0, 0) && SendMciCommand(command, NULL, 0, NULL, 0, 0);
}

// Moves the door through an alias of its own, with "Default Drive" aimed at
// `drive` meanwhile, or `drive` named. 0 when the command could not be sent.
int MoveDoor(HWND window, LONG drive, int mode, int quiet)
{
    // Release the playback device: the door is moved through an alias of its own.
    if (SendMciCommand("close cdaudio", NULL, 0, NULL, 0, 0)) CdAudioOpen = 0;

    AimedDrive aimed = {};
    if (DriveCount > 1 && !AimMciAtDrive(drive, &aimed)) {
        RestoreMciDrive(&aimed);
        return 0;
    }
    if (!OpenDoorAlias(drive, aimed.named)) {
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
    int keepsPlaying = Playing && !aimed.elsewhere && mode == DOOR_CLOSE && DriveRootListable(drive);
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

    if (aimed.elsewhere || (Playing && mode == DOOR_CLOSE)) {
        // Playback on the default drive goes on; hold its device again.
        HoldPlaybackDevice("open cdaudio", 0);
    } else {
        // A door movement on the playback drive ends whatever was playing.
        Playing = 0;
        Paused = 0;
        CdAudioOpen = 0;
    }
    return 1;
}

// One request, once it is its turn.
void RunDoorCommand(HWND window, int mode, int quiet)
{
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

    // What waited runs in the loop that comes next: this opening's countdown
    // shows all the same, and the lock's close is over by then.
    CallWaiting(window);
    if (!moved || !SettingsRecord.AutoCloseAllowed || DoorState[drive] != 1) return;
    // The door hot key leaves a countdown on show; an opening meanwhile
    // starts that one afresh rather than a second one over it.
    if (AutoCloseWindow != NULL) RestartAutoClose();
    else RunDialog(IDD_AUTOCLOSE, window, AutoCloseDlgProc);
}

}  // namespace

void DoorCommand(HWND window, int mode, int quiet)
{
    // Without a drive there is no door to ask a password for, or to keep shut.
    if (DriveCount == 0) return;
    // The shell hands the icon's clicks over inside our own calls to it, and
    // an error box shown meanwhile takes clicks too, so a request can arrive
    // while a door moves: it waits its turn. The lock's own close just comes
    // again with the poller's next tick.
    if (quiet ? DoorMoving : MustWait()) {
        if (!quiet) Enqueue(mode, 0);
        return;
    }
    RunDoorCommand(window, mode, quiet);
}

void ClickDoor(HWND window)
{
    if (MustWait()) {
        Enqueue(DOOR_TOGGLE, 1);
        return;
    }
    // A click during the auto-close countdown cancels it and moves the door now.
    if (AutoCloseWindow != NULL) PressButton(AutoCloseWindow, IDCANCEL);
    ToggleDoor(window);
}

void RunWaitingDoorCommand(HWND window)
{
    WaitingCalled = 0;
    // A door that moves again calls for the rest once it stops.
    if (DoorMoving || WaitingCount == 0) return;
    WaitingRequest next = Waiting[0];
    --WaitingCount;
    for (int i = 0; i < WaitingCount; ++i) Waiting[i] = Waiting[i + 1];
    if (next.click && AutoCloseWindow != NULL) PressButton(AutoCloseWindow, IDCANCEL);
    RunDoorCommand(window, next.mode, 0);
    // A request that moved nothing (its prompt cancelled) hands on at once.
    CallWaiting(window);
}

void ToggleDoor(HWND window)
{
    DoorCommand(window, DOOR_TOGGLE, 0);
}
