#include "drive/DiscPoller.h"

#include "app/MainWindow.h"
#include "app/ShellLaunch.h"
#include "app/Text.h"
#include "app/TrayIcon.h"
#include "app/WinMain.h"
#include "drive/Autorun.h"
#include "drive/DoorControl.h"
#include "drive/DriveDiscovery.h"
#include "drive/Mci.h"
#include "drive/Playback.h"
#include "res/resource.h"
#include "settings/DecimalText.h"
#include "settings/Settings.h"
#include "ui/ShownText.h"
#include "ui/StringTable.h"
#include "ui/TrayMenu.h"

LONG EmptyIconShown;

namespace {

// The lock's close is running: a message box it shows lets further ticks run,
// and they must not pile up more boxes behind it.
LONG LockCloseRunning;

// Whether an item's check and greying already are `state`.
int HasState(const MENUITEMINFOW& info, UINT state)
{
    return (info.fState & (MFS_CHECKED | MFS_GRAYED)) == state;
}

// Sets an item usable or greyed, reading its text back and writing it again
// with the state, as a plain string item. A state the item has already is
// not written again: every write takes the highlight off the item under the
// mouse, and on an open pop-up Wine's menu loop loses track of it.
void SetItemState(UINT item, BOOL byPosition, UINT state)
{
    WCHAR text[REG_TEXT_SIZE] = {0};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE | MIIM_STATE;
    info.dwTypeData = text;
    info.cch = REG_TEXT_SIZE;
    if (!GetMenuItemInfoW(TrayMenu, item, byPosition, &info) || HasState(info, state)) return;
    info.fMask = MIIM_STATE | MIIM_TYPE;
    info.fType = MFT_STRING;
    info.fState = state;
    info.dwTypeData = text;
    SetMenuItemInfoW(TrayMenu, item, byPosition, &info);
}

UINT Usable(int usable)
{
    return usable ? MENU_ITEM_USABLE : MENU_ITEM_GREYED;
}

int AutorunMentionsOpen()
{
    char root[4];
    DriveRoot(SelectedDrive, root);
    char text[AUTORUN_READ_SIZE];
    DWORD length = 0;
    return ReadAutorunText(root, text, &length) && FindOpenKey(text, length) >= 0;
}

// The track lines are shown only during playback.
void RemoveTrackLines()
{
    HMENU audio = GetSubMenu(TrayMenu, AudioMenuPosition());
    if (audio == NULL) return;
    if (GetMenuItemID(audio, 1) == IDM_TRACK_LINE) RemoveMenu(TrayMenu, IDM_TRACK_LINE, MF_BYCOMMAND);
    if (GetMenuItemID(audio, 1) == IDM_LENGTH_LINE) RemoveMenu(TrayMenu, IDM_LENGTH_LINE, MF_BYCOMMAND);
}

// Brings the open menu up to date with the selected drive.
void UpdateOpenMenu()
{
    SetItemState(IDM_CD_PLAYER, FALSE, Usable(CdPlayerFound()));

    int openedHere = 0;
    if (!CdAudioOpen) openedHere = SendMciCommand("open cdaudio shareable", NULL, 0, NULL, 0, 0);

    char answer[MCI_MEDIA_ANSWER_SIZE];
    SendMciCommand("status cdaudio media present", answer, sizeof answer, NULL, 0, 0);
    int present = MciAnswerIsTrue(answer);
    if (present) {
        if (Playing) UpdateTrackInfo();
        else RemoveTrackLines();
    }

    UpdateTotalLength();
    int readable = UpdateDriveLabels();

    char tracks[MCI_ANSWER_SIZE];
    SendMciCommand("status cdaudio number of tracks", tracks, sizeof tracks, NULL, 0, 0);
    if (openedHere) SendMciCommand("close cdaudio", NULL, 0, NULL, 0, 0);

    SetItemState(IDM_EXPLORE, FALSE, Usable(readable));
    SetItemState(IDM_OPEN_FOLDER, FALSE, Usable(readable));
    SetItemState(IDM_AUTOPLAY, FALSE, Usable(readable && AutorunMentionsOpen()));
    // A disc of exactly one track is a data disc; a disc that does not answer
    // with a count keeps the audio pop-up usable.
    SetItemState(AudioMenuPosition(), TRUE, Usable(present && ParseDecimal(tracks) != 1));
}

}  // namespace

int DriveRootListable(LONG drive)
{
    char pattern[8];
    DriveRoot(drive, pattern);
    AppendText(pattern, sizeof pattern, "*.*");
    WIN32_FIND_DATAA entry;
    UINT oldMode = SetErrorMode(QUIET_ERROR_MODE);
    HANDLE search = FindFirstFileA(pattern, &entry);
    SetErrorMode(oldMode);
    if (search == INVALID_HANDLE_VALUE) return 0;
    FindClose(search);
    return 1;
}

void UpdateDiscIcon(HWND window)
{
    int found = DriveCount > 0 && DriveRootListable(SelectedDrive);
    // Noted before the shell is called: the system's notice of the same disc
    // may be handed over inside that call, and must find the picture changed.
    if (!found && !EmptyIconShown) {
        EmptyIconShown = 1;
        UpdateTrayIcon(window, IDI_NO_DISC, 0);
    } else if (found && EmptyIconShown) {
        EmptyIconShown = 0;
        UpdateTrayIcon(window, IDI_DORVANE, 0);
    }
}

int UpdateDriveLabels()
{
    if (DriveCount == 0) return 0;
    int selectedReadable = 0;
    for (LONG i = 0; i < DriveCount; ++i) {
        char root[4];
        DriveRoot(i, root);
        char label[REG_TEXT_SIZE] = "";
        UINT oldMode = SetErrorMode(QUIET_ERROR_MODE);
        BOOL readable = GetVolumeInformationA(root, label, sizeof label, NULL, NULL, NULL, NULL, 0);
        SetErrorMode(oldMode);
        if (readable && i == SelectedDrive) selectedReadable = 1;

        char prefix[8] = " [";
        AppendText(prefix, sizeof prefix, DriveLetters[i]);
        AppendText(prefix, sizeof prefix, ":] ");
        WCHAR text[REG_TEXT_SIZE];
        WideFromCp1251(prefix, text, REG_TEXT_SIZE);
        // The label comes from the file system, in the system's own code page.
        if (readable) {
            int used = 0;
            while (text[used] != 0) ++used;
            if (!MultiByteToWideChar(CP_ACP, 0, label, -1, text + used, REG_TEXT_SIZE - used)) text[used] = 0;
        }

        // The text, and the check where it is not right; the drive items keep their radio type.
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE;
        UINT check = i == SelectedDrive ? MFS_CHECKED : MFS_UNCHECKED;
        int known = GetMenuItemInfoW(TrayMenu, static_cast<UINT>(i), TRUE, &info);
        info.fMask = known && HasState(info, check) ? MIIM_STRING : MIIM_STRING | MIIM_STATE;
        info.fState = check;
        info.dwTypeData = text;
        SetMenuItemInfoW(TrayMenu, static_cast<UINT>(i), TRUE, &info);
    }
    DrawMenuBar(MainWindow);
    return selectedReadable;
}

void UpdateTotalLength()
{
    char text[REG_TEXT_SIZE] = " ";
    AppendText(text, sizeof text, UiText(IDS_TOTAL));

    char answer[MCI_ANSWER_SIZE];
    if (!SendMciCommand("status cdaudio media present", answer, sizeof answer, NULL, 0, 0)) return;
    if (!MciAnswerIsTrue(answer)) {
        CopyText(text, sizeof text, " ");
        AppendText(text, sizeof text, UiText(IDS_NO_DISC));
    } else {
        if (!SendMciCommand("status cdaudio number of tracks", answer, sizeof answer, NULL, 0, 0)) return;
        if (ParseDecimal(answer) == 1) {
            CopyText(text, sizeof text, " ");
            AppendText(text, sizeof text, UiText(IDS_DATA_OR_NO_DISC));
        } else {
            SendMciCommand("set cdaudio time format tmsf", NULL, 0, NULL, 0, 0);
            if (SendMciCommand("status cdaudio length", answer, sizeof answer, NULL, 0, 0)) {
                AppendMciField(text, sizeof text, answer, 0, 2);
                AppendText(text, sizeof text, UiText(IDS_MINUTES));
                AppendMciField(text, sizeof text, answer, 3, 2);
                AppendText(text, sizeof text, UiText(IDS_SECONDS));
            }
        }
    }
    SetMenuItemText(IDM_DISC_SUMMARY, FALSE, text);
}

VOID CALLBACK PollDiscStatus(HWND window, UINT, UINT_PTR, DWORD)
{
    UpdateDiscIcon(window);

    if (SettingsRecord.Locked && !DoorUnlocked && !LockCloseRunning) {
        LockCloseRunning = 1;
        DoorCommand(window, DOOR_CLOSE, 1);
        LockCloseRunning = 0;
    }

    // The menu is touched only while the user looks at it, and not while its
    // texts are being rewritten.
    if (!TrayMenuOpen || MenuBuilding) return;
    UpdateOpenMenu();
}
