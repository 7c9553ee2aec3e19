#include "ui/TrayMenu.h"

#include "app/MainWindow.h"
#include "app/Text.h"
#include "app/WinMain.h"
#include "drive/DriveDiscovery.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "ui/MenuBitmaps.h"
#include "ui/MessageBoxes.h"
#include "ui/ShownText.h"
#include "ui/StringTable.h"

LONG MenuBuilding;

namespace {

const int kMenuTextSize = 200;
const int kRetries = 10;
const DWORD kRetryPause = 10;   // ms

// Pop-ups are found by position, everything else by command identifier.
enum { BY_COMMAND, AUDIO_POPUP, SETTINGS_POPUP, LANGUAGE_POPUP };

struct MenuRow {
    int address;
    UINT command;
    int text;    // -1: the text is not the table's (the disc summary keeps its own)
    int bitmap;  // 0: the language pop-up, whose picture shows the language
};

// In the order the texts are set.
const MenuRow kRows[] = {
    {BY_COMMAND, IDM_EXIT, IDS_MENU_EXIT, IDB_EXIT},
    {BY_COMMAND, IDM_ABOUT, IDS_MENU_ABOUT, IDB_ABOUT},
    {BY_COMMAND, IDM_OPTIONS, IDS_MENU_OPTIONS, IDB_OPTIONS},
    {LANGUAGE_POPUP, 0, IDS_MENU_LANGUAGE, 0},
    {SETTINGS_POPUP, 0, IDS_MENU_SETTINGS, IDB_SETTINGS},
    {AUDIO_POPUP, 0, IDS_MENU_CD_AUDIO, IDB_CD_AUDIO},
    {BY_COMMAND, IDM_CD_PLAYER, IDS_MENU_CD_PLAYER, IDB_CD_PLAYER},
    {BY_COMMAND, IDM_CLOSE_DOOR, IDS_MENU_CLOSE_DRIVE, IDB_CLOSE},
    {BY_COMMAND, IDM_OPEN_DOOR, IDS_MENU_OPEN_DRIVE, IDB_EJECT},
    {BY_COMMAND, IDM_AUTOPLAY, IDS_MENU_AUTOPLAY, IDB_AUTOPLAY},
    {BY_COMMAND, IDM_OPEN_FOLDER, IDS_MENU_OPEN, IDB_FOLDER},
    {BY_COMMAND, IDM_EXPLORE, IDS_MENU_EXPLORE, IDB_EXPLORE},
    {BY_COMMAND, IDM_DISC_SUMMARY, -1, IDB_INFO},
    {BY_COMMAND, IDM_SETTINGS_HEADING, IDS_SETTINGS_HEADING, IDB_INFO},
    {BY_COMMAND, IDM_LANGUAGE_HEADING, IDS_LANGUAGE_HEADING, IDB_INFO},
    {BY_COMMAND, IDM_PLAY, IDS_MENU_PLAY, IDB_PLAY},
    {BY_COMMAND, IDM_PAUSE, IDS_MENU_PAUSE, IDB_PAUSE},
    {BY_COMMAND, IDM_STOP, IDS_MENU_STOP, IDB_STOP},
    {BY_COMMAND, IDM_PREVIOUS_TRACK, IDS_MENU_PREVIOUS_TRACK, IDB_PREVIOUS},
    {BY_COMMAND, IDM_NEXT_TRACK, IDS_MENU_NEXT_TRACK, IDB_NEXT},
    {BY_COMMAND, IDM_SYSTEM_PROPERTIES, IDS_MENU_SYSTEM_PROPERTIES, IDB_COMPUTER},
    {BY_COMMAND, IDM_MULTIMEDIA, IDS_MENU_MULTIMEDIA, IDB_MULTIMEDIA},
    {BY_COMMAND, IDM_VOLUME_CONTROL, IDS_MENU_VOLUME_CONTROL, IDB_VOLUME},
    {BY_COMMAND, IDM_ENGLISH, IDS_MENU_ENGLISH, IDB_ENGLISH},
    {BY_COMMAND, IDM_RUSSIAN, IDS_MENU_RUSSIAN, IDB_RUSSIAN},
};

// " " and the table's text: every item text begins with one blank.
void ItemText(int id, WCHAR text[kMenuTextSize])
{
    char bytes[kMenuTextSize] = " ";
    AppendText(bytes, sizeof bytes, UiText(id));
    WideFromCp1251(bytes, text, kMenuTextSize);
}

// " [D:]" for drive `drive`.
void DriveItemText(LONG drive, WCHAR text[kMenuTextSize])
{
    char bytes[8] = " [";
    AppendText(bytes, sizeof bytes, DriveLetters[drive]);
    AppendText(bytes, sizeof bytes, ":]");
    WideFromCp1251(bytes, text, kMenuTextSize);
}

}  // namespace

int AudioMenuPosition()
{
    return DriveCount + 9;
}

int SettingsMenuPosition()
{
    return DriveCount + 11;
}

int LanguageMenuPosition()
{
    return DriveCount + 13;
}

namespace {

// One write of a menu item, tried up to ten times 10 ms apart.
BOOL Retried(BOOL(WINAPI* write)(HMENU, UINT, BOOL, LPCMENUITEMINFOW), HMENU menu, UINT item, BOOL byPosition,
             MENUITEMINFOW* info)
{
    BOOL done = FALSE;
    for (int attempt = 0; attempt < kRetries; ++attempt) {
        done = write(menu, item, byPosition, info);
        if (done) break;
        Sleep(kRetryPause);
    }
    return done;
}

}  // namespace

BOOL SetMenuItemInfoRetry(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info)
{
    return Retried(SetMenuItemInfoW, menu, item, byPosition, info);
}

BOOL InsertMenuItemRetry(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info)
{
    return Retried(InsertMenuItemW, menu, item, byPosition, info);
}

void SetMenuItemText(UINT item, BOOL byPosition, const char* text)
{
    WCHAR wide[kMenuTextSize];
    WideFromCp1251(text, wide, kMenuTextSize);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE;
    info.fType = MFT_STRING;
    info.dwTypeData = wide;
    SetMenuItemInfoW(TrayMenu, item, byPosition, &info);
}

int InsertDriveItems()
{
    WCHAR text[kMenuTextSize];
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.hbmpChecked = MenuBitmap(IDB_INFO);

    if (DriveCount == 1) {
        // The only drive: an information line without a command.
        DriveItemText(0, text);
        info.fMask = MIIM_STATE | MIIM_CHECKMARKS | MIIM_TYPE;
        info.fType = MFT_STRING;
        info.fState = MFS_CHECKED;
        info.dwTypeData = text;
        InsertMenuItemRetry(TrayMenu, 0, TRUE, &info);
        return 1;
    }
    if (DriveCount == 0) return 0;

    // The user's own last choice wins over the system's default drive; an
    // index of a drive that is gone selects the first drive.
    SelectedDrive = ValidDriveIndex(ReadDefaultDrive());
    if (SettingsRecord.LastDrive != -1) SelectedDrive = ValidDriveIndex(SettingsRecord.LastDrive);

    info.hbmpUnchecked = MenuBitmap(IDB_DRIVE);
    info.fType = MFT_RADIOCHECK;
    for (LONG i = 0; i < DriveCount; ++i) {
        DriveItemText(i, text);
        info.fMask = MIIM_ID | MIIM_CHECKMARKS | MIIM_TYPE;
        if (i == SelectedDrive) info.fMask |= MIIM_STATE;
        info.fState = MFS_CHECKED;
        info.wID = IDM_DRIVE_FIRST + static_cast<UINT>(i);
        info.dwTypeData = text;
        InsertMenuItemRetry(TrayMenu, static_cast<UINT>(i), TRUE, &info);
    }
    return 1;
}

void SetMenuTexts()
{
    MenuBuilding = 1;
    WCHAR text[kMenuTextSize];
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fType = MFT_STRING;
    info.fState = MFS_CHECKED;
    for (const MenuRow& row : kRows) {
        int bitmap = row.bitmap;
        if (bitmap == 0) bitmap = SettingsRecord.Language == LANGUAGE_RUSSIAN ? IDB_RUSSIAN : IDB_ENGLISH;
        info.hbmpChecked = MenuBitmap(bitmap);
        info.fMask = MIIM_STATE | MIIM_CHECKMARKS;
        if (row.text >= 0) {
            ItemText(row.text, text);
            info.fMask |= MIIM_TYPE;
            info.dwTypeData = text;
        }
        UINT item = row.command;
        BOOL byPosition = row.address != BY_COMMAND;
        if (row.address == AUDIO_POPUP) item = static_cast<UINT>(AudioMenuPosition());
        if (row.address == SETTINGS_POPUP) item = static_cast<UINT>(SettingsMenuPosition());
        if (row.address == LANGUAGE_POPUP) item = static_cast<UINT>(LanguageMenuPosition());
        SetMenuItemInfoRetry(TrayMenu, item, byPosition, &info);
    }
    MenuBuilding = 0;
}

int InitDrives()
{
    if (!EnumerateCdDrives()) return 0;
    if (!InsertDriveItems()) MessageBoxById(MainWindow, IDS_READ_FAILED, MB_OK);
    SetMenuTexts();
    return 1;
}
