#include "drive/DriveDiscovery.h"

#include "app/MainWindow.h"
#include "app/TrayIcon.h"
#include "app/WinMain.h"
#include "drive/DefaultDrive.h"
#include "drive/DiscPoller.h"
#include "drive/DoorControl.h"
#include "res/resource.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "ui/MessageBoxes.h"
#include "ui/StringTable.h"
#include "ui/TrayMenu.h"

char DriveLetters[MAX_DRIVES][2];
LONG DriveCount;
LONG SelectedDrive;

namespace {

// 26 roots of four characters ("D:\" and a NUL) and the final NUL.
const DWORD kRootsSize = 4 * MAX_DRIVES + 1;

}  // namespace

int EnumerateCdDrives()
{
    char roots[kRootsSize] = "";
    DWORD length = GetLogicalDriveStringsA(kRootsSize, roots);
    // A result beyond the buffer is the size the system wanted; nothing was written.
    if (length > kRootsSize) length = 0;
    for (DWORD i = 0; i + 4 <= length && DriveCount < MAX_DRIVES; i += 4) {
        if (GetDriveTypeA(roots + i) != DRIVE_CDROM) continue;
        char letter = roots[i];
        if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
        DriveLetters[DriveCount][0] = letter;
        DriveLetters[DriveCount][1] = '\0';
        ++DriveCount;
    }
    if (DriveCount > 0) return 1;
    return !AskYesNo(UiText(IDS_NO_CD_DRIVE));
}

int ReadDefaultDrive()
{
    // A standard user may read the key but neither make it nor write it:
    // then it is read as it is, and a value that is missing stays missing.
    HKEY key;
    LSTATUS status = ERROR_SUCCESS;
    int writable = CreateRegKey(HKEY_LOCAL_MACHINE, MCI_CDAUDIO_KEY, KEY_QUERY_VALUE | KEY_SET_VALUE, &key,
                                NEW_KEY_CLASS, &status);
    int refused = status == ERROR_ACCESS_DENIED;
    if (!writable && (!refused || !OpenRegKey(HKEY_LOCAL_MACHINE, MCI_CDAUDIO_KEY, KEY_QUERY_VALUE, &key))) {
        if (!refused) MessageBoxById(MainWindow, IDS_READ_FAILED, MB_OK);
        return 0;
    }
    DefaultDriveValue value;
    int missing = 0;
    int drive = 0;
    // Only a value that is not there is made; one that cannot be read just
    // now, or at all, is the system's and stays as it is.
    if (QueryDefaultDrive(key, &value, &missing)) {
        drive = value.bytes[0];
    } else if (missing && writable && !SetDefaultDrive(key, 0, &status) && status != ERROR_ACCESS_DENIED) {
        MessageBoxById(MainWindow, IDS_WRITE_FAILED, MB_OK);
    }
    RegCloseKey(key);
    return drive;
}

LONG ValidDriveIndex(LONG index)
{
    return index >= 0 && index < DriveCount ? index : 0;
}

void DriveRoot(LONG drive, char root[4])
{
    root[0] = DriveLetters[drive][0];
    root[1] = ':';
    root[2] = '\\';
    root[3] = '\0';
}

const char* DoorTipText()
{
    return UiText(DoorState[SelectedDrive] ? IDS_CLOSE_CD : IDS_EJECT_CD);
}

void SelectDrive(HWND window, UINT command)
{
    LONG drive = static_cast<LONG>(command) - IDM_DRIVE_FIRST;
    // A command for a drive the list does not have is not a drive.
    if (drive < 0 || drive >= DriveCount || drive == SelectedDrive) return;

    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE;
    item.fState = MFS_UNCHECKED;
    for (LONG i = 0; i < DriveCount; ++i) SetMenuItemInfoRetry(TrayMenu, static_cast<UINT>(i), TRUE, &item);
    item.fState = MFS_CHECKED;
    SetMenuItemInfoRetry(TrayMenu, command, FALSE, &item);

    SelectedDrive = drive;
    SettingsRecord.LastDrive = drive;
    SaveSetting(SETTING_LAST_DRIVE, drive, NULL);
    SetTrayTip(window, DoorTipText());
    // The picture is the new drive's from now on.
    UpdateDiscIcon(window);
}
