#include "settings/Settings.h"

#include "app/Text.h"
#include "app/WinMain.h"
#include "settings/DecimalText.h"
#include "settings/Registry.h"
#include "ui/MessageBoxes.h"
#include "ui/StringTable.h"

// Start values: what the program runs with when the settings key is missing.
SettingsFields SettingsRecord = {LANGUAGE_ENGLISH, 0, "", 0, 0, "", 0, -1};
char StartupFolder[PATH_SIZE];
char ProgramsFolder[PATH_SIZE];
LONG LoadAtStartup;

namespace {

const char* const kValueNames[SETTING_COUNT] = {
    "Language", "HotKey", "Player", "AutoCloseAllowed", "AutoCloseTime", "Password", "Locked", "LastDrive",
};

// Defaults for values missing from an existing settings key.
const LONG kDefaultAutoCloseTime = 15;
const LONG kDefaultLastDrive = 0;


int IsTextSetting(int index)
{
    return index == SETTING_PLAYER || index == SETTING_AUTOCLOSE_TIME || index == SETTING_PASSWORD;
}

void ReadNumber(HKEY key, int index, LONG fallback, LONG* number)
{
    char text[REG_TEXT_SIZE];
    *number = QueryRegString(key, kValueNames[index], text) ? ParseDecimal(text) : fallback;
}

void ReadFolders()
{
    StartupFolder[0] = '\0';
    ProgramsFolder[0] = '\0';
    HKEY key;
    if (!OpenRegKey(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY, KEY_QUERY_VALUE, &key)) return;
    QueryRegString(key, "StartUp", StartupFolder);
    QueryRegString(key, "Programs", ProgramsFolder);
    RegCloseKey(key);
}

// The system's own CD player, found along the standard search order.
void FindCdPlayer()
{
    char found[PATH_SIZE];
    char* namePart = NULL;
    UINT oldMode = SetErrorMode(QUIET_ERROR_MODE);
    DWORD length = SearchPathA(NULL, "Cdplayer", ".exe", PATH_SIZE, found, &namePart);
    SetErrorMode(oldMode);
    // A result as long as the buffer or longer is the size SearchPathA wanted.
    if (length == 0 || length >= PATH_SIZE) SettingsRecord.Player[0] = '\0';
    else CopyText(SettingsRecord.Player, PATH_SIZE, found);
}

// The start-up shortcut exists when the StartUp folder holds "Dorvane.lnk";
// without a StartUp folder the root of C: is looked at.
void ProbeShortcut()
{
    char path[PATH_SIZE];
    CopyText(path, sizeof path, StartupFolder[0] != '\0' ? StartupFolder : "C:\\");
    AppendText(path, sizeof path, "\\");
    AppendText(path, sizeof path, SHORTCUT_NAME);
    WIN32_FIND_DATAA found;
    UINT oldMode = SetErrorMode(QUIET_ERROR_MODE);
    HANDLE search = FindFirstFileA(path, &found);
    SetErrorMode(oldMode);
    LoadAtStartup = search != INVALID_HANDLE_VALUE;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

}  // namespace

void LoadSettings()
{
    ReadFolders();

    HKEY key;
    if (!OpenRegKey(HKEY_CURRENT_USER, SETTINGS_KEY, KEY_QUERY_VALUE, &key)) return;

    char text[REG_TEXT_SIZE];
    // Only the first character of Language counts; anything but 0 or 1 keeps English.
    if (QueryRegString(key, kValueNames[SETTING_LANGUAGE], text)) {
        if (text[0] == '0') SettingsRecord.Language = LANGUAGE_RUSSIAN;
        else if (text[0] == '1') SettingsRecord.Language = LANGUAGE_ENGLISH;
    }

    LONG number;
    ReadNumber(key, SETTING_HOTKEY, DEFAULT_HOT_KEY, &number);
    SettingsRecord.HotKey = static_cast<WORD>(number & 0xFFFF);

    if (!QueryRegString(key, kValueNames[SETTING_PLAYER], SettingsRecord.Player)) FindCdPlayer();

    ReadNumber(key, SETTING_AUTOCLOSE_ALLOWED, 0, &SettingsRecord.AutoCloseAllowed);
    ReadNumber(key, SETTING_AUTOCLOSE_TIME, kDefaultAutoCloseTime, &SettingsRecord.AutoCloseTime);
    QueryRegString(key, kValueNames[SETTING_PASSWORD], SettingsRecord.Password);
    ReadNumber(key, SETTING_LOCKED, 0, &SettingsRecord.Locked);
    ReadNumber(key, SETTING_LAST_DRIVE, kDefaultLastDrive, &SettingsRecord.LastDrive);

    ProbeShortcut();
    RegCloseKey(key);
}

int PlayerFileFound(const char* path)
{
    const char* name = path;
    for (const char* c = path; *c != '\0'; ++c)
        if (*c == '\\' || *c == '/' || *c == ':') name = c + 1;
    if (*name == '\0') return 0;
    char found[PATH_SIZE];
    char* namePart = NULL;
    UINT oldMode = SetErrorMode(QUIET_ERROR_MODE);
    DWORD length = SearchPathA(NULL, name, NULL, PATH_SIZE, found, &namePart);
    SetErrorMode(oldMode);
    // A result as long as the buffer or longer is the size SearchPathA wanted.
    return length > 0 && length < PATH_SIZE;
}

void SaveSetting(int index, LONG number, const char* text)
{
    if (index < 0 || index >= SETTING_COUNT) return;

    // Each key on the way is asked only for what is done with it: a subkey
    // made, then the value written.
    HKEY software, maker, program;
    if (!OpenRegKey(HKEY_CURRENT_USER, SETTINGS_KEY_ROOT, KEY_CREATE_SUB_KEY, &software)) {
        MessageBoxById(MainWindow, IDS_READ_FAILED, MB_OK);
        return;
    }
    if (!CreateRegKey(software, SETTINGS_KEY_MAKER, KEY_CREATE_SUB_KEY, &maker, NEW_KEY_CLASS)) {
        MessageBoxById(MainWindow, IDS_READ_FAILED, MB_OK);
        RegCloseKey(software);
        return;
    }
    if (!CreateRegKey(maker, SETTINGS_KEY_PROGRAM, KEY_SET_VALUE, &program, NEW_KEY_CLASS)) {
        MessageBoxById(MainWindow, IDS_WRITE_FAILED, MB_OK);
        RegCloseKey(maker);
        RegCloseKey(software);
        return;
    }

    char digits[DECIMAL_TEXT_SIZE];
    const char* value = text;
    if (!IsTextSetting(index)) {
        FormatDecimal(number, digits);
        value = digits;
    }
    if (value == NULL) value = "";
    DWORD length = 0;
    while (value[length] != '\0') ++length;

    // Stored without a terminator: the data length is the number of characters.
    if (!SetRegValue(program, kValueNames[index], reinterpret_cast<const BYTE*>(value), REG_SZ, length)) {
        MessageBoxById(MainWindow, IDS_WRITE_FAILED, MB_OK);
        RegCloseKey(program);
        RegCloseKey(maker);
        RegCloseKey(software);
        return;
    }

    if (RegCloseKey(program) != ERROR_SUCCESS) MessageBoxById(MainWindow, IDS_WRITE_FAILED, MB_OK);
    if (RegCloseKey(maker) != ERROR_SUCCESS) MessageBoxById(MainWindow, IDS_READ_FAILED, MB_OK);
    if (RegCloseKey(software) != ERROR_SUCCESS) MessageBoxById(MainWindow, IDS_READ_FAILED, MB_OK);
}
