#include "ui/OptionsDialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include "app/MainWindow.h"
#include "app/Text.h"
#include "app/WinMain.h"
#include "drive/DiscWatch.h"
#include "res/resource.h"
#include "settings/DecimalText.h"
#include "settings/Settings.h"
#include "ui/DialogText.h"
#include "ui/MessageBoxes.h"
#include "ui/PasswordDialogs.h"
#include "ui/StringTable.h"

HWND OptionsWindow;

namespace {

const int kShortestTime = 5;          // seconds: the up-down's range
const int kLongestTime = 300;

// What Cancel puts back.
struct Remembered {
    LONG autoCloseAllowed;
    LONG loadAtStartup;
    LONG locked;
};
Remembered Before;

// The shortcut is only looked after where there is a StartUp folder.
int HasStartupFolder()
{
    return StartupFolder[0] != '\0';
}

void EnableControl(HWND dialog, int control, BOOL enable)
{
    EnableWindow(GetDlgItem(dialog, control), enable);
}

void ShowAutoClose(HWND dialog)
{
    const int controls[] = {IDC_TIME_LABEL, IDC_TIME_UPDOWN, IDC_TIME, IDC_SECONDS_LABEL};
    for (int control : controls) EnableControl(dialog, control, SettingsRecord.AutoCloseAllowed != 0);
}

void ShowLock(HWND dialog)
{
    CheckDlgButton(dialog, IDC_PASSWORD_PROTECT, SettingsRecord.Locked ? BST_CHECKED : BST_UNCHECKED);
    EnableControl(dialog, IDC_CHANGE_PASSWORD, SettingsRecord.Locked != 0);
}

void SetTexts(HWND dialog)
{
    SetDialogIcons(dialog);
    SetDialogTitle(dialog, IDS_OPTIONS_TITLE);
    const int texts[][2] = {
        {IDC_GENERAL_GROUP, IDS_GENERAL_GROUP},       {IDC_LOAD_AT_STARTUP, IDS_LOAD_AT_STARTUP_CHECK},
        {IDC_CD_DRIVE_GROUP, IDS_CD_DRIVE_GROUP},     {IDC_HOTKEY_LABEL, IDS_HOTKEY_LABEL},
        {IDC_DEFAULT_HOTKEY, IDS_DEFAULT_BUTTON},     {IDC_AUTOCLOSE, IDS_AUTOCLOSE_CHECK},
        {IDC_TIME_LABEL, IDS_AUTOCLOSE_TIME_LABEL},   {IDC_SECONDS_LABEL, IDS_SECONDS_UNIT},
        {IDC_PASSWORD_PROTECT, IDS_PASSWORD_PROTECT_CHECK}, {IDC_CHANGE_PASSWORD, IDS_CHANGE_BUTTON},
        {IDC_ADVANCED_GROUP, IDS_ADVANCED_GROUP},     {IDC_PLAYER_LABEL, IDS_PLAYER_LABEL},
        {IDC_BROWSE, IDS_BROWSE_BUTTON},              {IDCANCEL, IDS_CANCEL},
    };
    for (const int* text : texts) SetControlText(dialog, text[0], text[1]);
}

BOOL InitOptions(HWND dialog)
{
    SetTexts(dialog);
    SetDlgItemTextA(dialog, IDC_PLAYER, SettingsRecord.Player);
    SendDlgItemMessageA(dialog, IDC_PLAYER, EM_LIMITTEXT, PATH_SIZE, 0);

    Before.autoCloseAllowed = SettingsRecord.AutoCloseAllowed;
    CheckDlgButton(dialog, IDC_AUTOCLOSE, SettingsRecord.AutoCloseAllowed ? BST_CHECKED : BST_UNCHECKED);
    if (HasStartupFolder()) {
        Before.loadAtStartup = LoadAtStartup;
        CheckDlgButton(dialog, IDC_LOAD_AT_STARTUP, LoadAtStartup ? BST_CHECKED : BST_UNCHECKED);
    } else {
        EnableControl(dialog, IDC_LOAD_AT_STARTUP, FALSE);
    }
    Before.locked = SettingsRecord.Locked;
    ShowLock(dialog);
    ShowAutoClose(dialog);

    SendDlgItemMessageA(dialog, IDC_TIME_UPDOWN, UDM_SETRANGE, 0, MAKELPARAM(kLongestTime, kShortestTime));
    SendDlgItemMessageA(dialog, IDC_TIME_UPDOWN, UDM_SETPOS, 0, MAKELPARAM(SettingsRecord.AutoCloseTime, 0));
    // A key without a modifier becomes Control+Alt and that key.
    SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETRULES, HKCOMB_NONE, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETHOTKEY, SettingsRecord.HotKey, 0);

    OptionsWindow = dialog;
    return TRUE;
}

// The password box: switching protection off needs the password, switching
// it on needs one to be stored.
void TogglePasswordProtect(HWND dialog)
{
    if (SettingsRecord.Locked) {
        // The box stays ticked until the password is confirmed.
        CheckDlgButton(dialog, IDC_PASSWORD_PROTECT, BST_CHECKED);
        CloseOlderPrompt();
        if (RunPasswordPrompt(dialog)) SettingsRecord.Locked = 0;
    } else if (SettingsRecord.Password[0] != '\0') {
        SettingsRecord.Locked = 1;
    } else {
        CheckDlgButton(dialog, IDC_PASSWORD_PROTECT, BST_UNCHECKED);
        if (RunDialog(IDD_PASSWORD_CHANGE, dialog, PasswordChangeDlgProc) == IDOK) SettingsRecord.Locked = 1;
    }
    ShowLock(dialog);
    // The lock holds from the moment it is ticked, and its tick with it.
    UpdatePollTimer(MainWindow);
}

// Lets the user pick the player; the process's current directory moves to
// its folder, where the player is then found.
void BrowseForPlayer(HWND dialog)
{
    static const char16_t kRussianFilter[] = u"Программы\0*.exe;*.com;*.bat;*.pif;*.lnk\0Все файлы\0*.*\0";
    static const char16_t kEnglishFilter[] = u"Programs\0*.exe;*.com;*.bat;*.pif;*.lnk\0All Files\0*.*\0";
    WCHAR folder[PATH_SIZE] = {0};
    MultiByteToWideChar(CP_ACP, 0, ProgramsFolder, -1, folder, PATH_SIZE);
    WCHAR file[PATH_SIZE] = {0};
    OPENFILENAMEW choice = {};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = dialog;
    choice.hInstance = AppInstance;
    choice.lpstrFilter = reinterpret_cast<const WCHAR*>(SettingsRecord.Language == LANGUAGE_RUSSIAN ? kRussianFilter
                                                                                                  : kEnglishFilter);
    choice.nFilterIndex = 1;
    choice.lpstrFile = file;
    choice.nMaxFile = PATH_SIZE;
    choice.lpstrInitialDir = folder[0] != 0 ? folder : NULL;
    choice.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (GetOpenFileNameW(&choice)) SetDlgItemTextW(dialog, IDC_PLAYER, file);
}

void UpdateShortcut(HWND dialog)
{
    char target[PATH_SIZE];
    CopyText(target, sizeof target, StartupFolder);
    AppendText(target, sizeof target, "\\" SHORTCUT_NAME);
    UINT oldMode = SetErrorMode(QUIET_ERROR_MODE);
    BOOL done;
    if (LoadAtStartup) {
        char source[PATH_SIZE];
        CopyText(source, sizeof source, InstallDir);
        AppendText(source, sizeof source, "\\" SHORTCUT_NAME);
        // A shortcut that is there already does the job.
        done = CopyFileA(source, target, TRUE) || GetLastError() == ERROR_FILE_EXISTS;
    } else {
        // A shortcut that is not there needs no deleting.
        done = DeleteFileA(target) || GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
    }
    SetErrorMode(oldMode);
    // Otherwise the program would start with Windows, or not, unlike what the
    // box says. Options waits under the message, so OK cannot be pressed again.
    if (!done) MessageBoxById(dialog, IDS_WRITE_FAILED, MB_OK);
}

void AcceptOptions(HWND dialog)
{
    WORD hotKey = static_cast<WORD>(SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_GETHOTKEY, 0, 0));
    UnregisterHotKey(MainWindow, IDHK_DOOR);
    RegisterDoorHotKey(MainWindow, hotKey);
    SettingsRecord.HotKey = hotKey;
    SaveSetting(SETTING_HOTKEY, hotKey, NULL);

    char player[PATH_SIZE];
    // A path the system's code page cannot hold would name another file.
    int representable = ReadTypedText(dialog, IDC_PLAYER, PATH_SIZE - 1, player, sizeof player);
    if (player[0] != '\0' || !representable) {
        if (!representable || !PlayerFileFound(player)) {
            MessageBoxById(dialog, IDS_FILE_NOT_FOUND, MB_ICONHAND);
            HWND edit = GetDlgItem(dialog, IDC_PLAYER);
            SetFocus(edit);
            SendMessageA(edit, EM_SETSEL, 0, -1);
            return;
        }
        CopyText(SettingsRecord.Player, PATH_SIZE, player);
        SaveSetting(SETTING_PLAYER, 0, SettingsRecord.Player);
    }

    SaveSetting(SETTING_AUTOCLOSE_ALLOWED, SettingsRecord.AutoCloseAllowed, NULL);
    if (HasStartupFolder()) UpdateShortcut(dialog);

    char time[REG_TEXT_SIZE] = "";
    GetDlgItemTextA(dialog, IDC_TIME, time, sizeof time);
    if (time[0] != '\0') {
        SettingsRecord.AutoCloseTime = ParseDecimal(time);
        SaveSetting(SETTING_AUTOCLOSE_TIME, 0, time);
    }
    SaveSetting(SETTING_LOCKED, SettingsRecord.Locked, NULL);
    OptionsWindow = NULL;
    EndDialog(dialog, IDOK);
}

void CancelOptions(HWND dialog)
{
    SettingsRecord.AutoCloseAllowed = Before.autoCloseAllowed;
    if (HasStartupFolder()) LoadAtStartup = Before.loadAtStartup;
    SettingsRecord.Locked = Before.locked;
    UpdatePollTimer(MainWindow);
    OptionsWindow = NULL;
    EndDialog(dialog, IDCANCEL);
}

void OptionsCommand(HWND dialog, int control)
{
    switch (control) {
    case IDC_DEFAULT_HOTKEY:
        SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETHOTKEY, DEFAULT_HOT_KEY, 0);
        break;
    case IDC_AUTOCLOSE:
        SettingsRecord.AutoCloseAllowed = !SettingsRecord.AutoCloseAllowed;
        ShowAutoClose(dialog);
        break;
    case IDC_LOAD_AT_STARTUP:
        LoadAtStartup = !LoadAtStartup;
        break;
    case IDC_PASSWORD_PROTECT:
        TogglePasswordProtect(dialog);
        break;
    case IDC_CHANGE_PASSWORD:
        RunDialog(IDD_PASSWORD_CHANGE, dialog, PasswordChangeDlgProc);
        EnableControl(dialog, IDC_CHANGE_PASSWORD, SettingsRecord.Locked != 0);
        break;
    case IDC_BROWSE:
        BrowseForPlayer(dialog);
        break;
    case IDOK:
        AcceptOptions(dialog);
        break;
    case IDCANCEL:
        CancelOptions(dialog);
        break;
    }
}

}  // namespace

INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    return DialogMessage(dialog, message, wParam, InitOptions, OptionsCommand);
}

void OpenOptionsDialog()
{
    if (OptionsWindow != NULL) {
        SetForegroundWindow(OptionsWindow);
        return;
    }
    RunDialog(IDD_OPTIONS, NULL, OptionsDlgProc);
}

void CancelOptionsDialog()
{
    if (OptionsWindow != NULL) PressButton(OptionsWindow, IDCANCEL);
}
