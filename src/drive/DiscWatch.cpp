#include "drive/DiscWatch.h"

#include <dbt.h>

#include "app/MainWindow.h"
#include "app/WinMain.h"
#include "drive/DiscPoller.h"
#include "drive/DoorControl.h"
#include "drive/DriveDiscovery.h"
#include "settings/Settings.h"
#include "ui/MessageBoxes.h"
#include "ui/StringTable.h"

namespace {

LONG PollTimerSet;

// The open menu is kept up to date, and a locked door shut; nothing else
// needs a look at the drive that the system does not give unasked.
int TickHasWork()
{
    return TrayMenuOpen || (SettingsRecord.Locked && !DoorUnlocked);
}

}  // namespace

void UpdatePollTimer(HWND window)
{
    if (!TickHasWork()) {
        if (PollTimerSet) KillTimer(window, IDT_POLL);
        PollTimerSet = 0;
        return;
    }
    if (PollTimerSet) return;
    PollTimerSet = SetTimer(window, IDT_POLL, POLL_PERIOD, PollDiscStatus) != 0;
    if (PollTimerSet) return;
    // Without its tick the program could neither show the menu as it is nor
    // keep a locked door shut.
    MessageBoxById(MainWindow, IDS_TIMER_FAILED, MB_OK);
    PostQuitMessage(1);
}

void OnDeviceChange(HWND window, WPARAM event, LPARAM data)
{
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return;
    const DEV_BROADCAST_HDR* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    // A volume's record, whole: its size says so before its fields are read.
    if (header == NULL || header->dbch_devicetype != DBT_DEVTYP_VOLUME || header->dbch_size < sizeof(DEV_BROADCAST_VOLUME))
        return;
    const DEV_BROADCAST_VOLUME* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(data);
    if (!(volume->dbcv_flags & DBTF_MEDIA) || DriveCount == 0) return;
    DWORD selected = 1u << (DriveLetters[SelectedDrive][0] - 'A');
    if (volume->dbcv_unitmask & selected) UpdateDiscIcon(window);
}
