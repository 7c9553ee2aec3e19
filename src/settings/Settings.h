// The user's settings: one process-wide record, read from the registry at
// start and written back one value at a time the moment a value changes.
#ifndef DORVANE_SETTINGS_H
#define DORVANE_SETTINGS_H

#include <windows.h>

// The settings key under HKEY_CURRENT_USER, and the parts SaveSetting walks.
#define SETTINGS_KEY          "Software\\Ostrelle\\Dorvane"
#define SETTINGS_KEY_ROOT     "Software"
#define SETTINGS_KEY_MAKER    "Ostrelle"
#define SETTINGS_KEY_PROGRAM  "Dorvane"
#define INSTALL_PATH_VALUE    "InstallPath"
#define NEW_KEY_CLASS         "REG_SZ"
#define SHELL_FOLDERS_KEY     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
#define SHORTCUT_NAME         "Dorvane.lnk"

// Probes of a drive or a path that may be empty run with the system's
// critical-error and open-file boxes off.
#define QUIET_ERROR_MODE (SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)

enum {
    DEFAULT_HOT_KEY = 0x0620,   // Control+Alt+Space
    PATH_SIZE = 260,          // paths, terminator included
    REG_TEXT_SIZE = 200       // registry and answer texts, terminator included
};

// Position of each setting in the record and in SaveSetting's index.
enum SettingIndex {
    SETTING_LANGUAGE = 0,
    SETTING_HOTKEY = 1,
    SETTING_PLAYER = 2,
    SETTING_AUTOCLOSE_ALLOWED = 3,
    SETTING_AUTOCLOSE_TIME = 4,
    SETTING_PASSWORD = 5,
    SETTING_LOCKED = 6,
    SETTING_LAST_DRIVE = 7,
    SETTING_COUNT = 8
};

// Each field is named after its registry value.
struct SettingsFields {
    DWORD Language;           // 0 Russian, 1 English
    WORD HotKey;              // low byte virtual key, high byte HOTKEYF_* flags
    char Player[PATH_SIZE];   // the CD player's path
    LONG AutoCloseAllowed;    // 0/1
    LONG AutoCloseTime;       // seconds
    char Password[REG_TEXT_SIZE];
    LONG Locked;              // 0/1: opening the door and leaving need the password
    LONG LastDrive;           // drive index, -1 when not set
};

extern SettingsFields SettingsRecord;

// Derived at start, not stored as settings.
extern char StartupFolder[PATH_SIZE];
extern char ProgramsFolder[PATH_SIZE];
extern LONG LoadAtStartup;   // 1 when the start-up shortcut exists

// Reads every setting (with its default when missing), the StartUp and
// Programs folders, and whether the start-up shortcut exists. Shows nothing.
void LoadSettings();

// Whether the file name of the player path `path` (its folder takes no part)
// is found along the system's standard search order, which includes the
// current directory. The lookup raises no system error box.
int PlayerFileFound(const char* path);

// Writes setting `index`: the number for number settings, the text for text
// settings (Player, AutoCloseTime, Password). The caller sets the field first.
// Failures are shown to the user and do not stop the caller.
void SaveSetting(int index, LONG number, const char* text);

#endif
