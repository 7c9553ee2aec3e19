// The two-language table of every text the user reads, and its lookup.
#ifndef DORVANE_STRINGTABLE_H
#define DORVANE_STRINGTABLE_H

enum {
    STRING_COUNT = 92,   // ids 0..91
    STRING_SLOT = 75,    // bytes per text, terminator included
    LANGUAGE_RUSSIAN = 0,
    LANGUAGE_ENGLISH = 1
};

// String ids. Texts are code page 1251 bytes; the English ones are shown here.
enum StringId {
    IDS_PROGRAM_NAME = 0,            // "Dorvane", the caption of every message box
    IDS_ALREADY_RUNNING = 1,
    IDS_ABOUT_TITLE = 2,
    IDS_VERSION = 3,
    IDS_CREDITS = 4,
    IDS_MENU_EXIT = 5,
    IDS_MENU_ABOUT = 6,
    IDS_MENU_CD_AUDIO = 7,
    IDS_MENU_CD_PLAYER = 8,
    IDS_MENU_CLOSE_DRIVE = 9,
    IDS_MENU_OPEN_DRIVE = 10,
    IDS_AUTO_INSERT = 11,            // shown nowhere
    IDS_MENU_AUTOPLAY = 12,
    IDS_MENU_OPEN = 13,
    IDS_MENU_EXPLORE = 14,
    IDS_MENU_PLAY = 15,
    IDS_MENU_PAUSE = 16,
    IDS_MENU_STOP = 17,
    IDS_MENU_PREVIOUS_TRACK = 18,
    IDS_MENU_NEXT_TRACK = 19,
    IDS_TOTAL = 20,
    IDS_NO_DISC = 21,
    IDS_DATA_OR_NO_DISC = 22,
    IDS_MINUTES = 23,
    IDS_SECONDS = 24,
    IDS_TRACK = 25,
    IDS_FROM = 26,
    IDS_LENGTH = 27,
    IDS_NO_CD_DRIVE = 28,
    IDS_RESTART_QUESTION = 29,       // shown nowhere
    IDS_EJECT_CD = 30,
    IDS_CLOSE_CD = 31,
    IDS_MAIN_WINDOW_FAILED = 32,
    IDS_ICON_FAILED = 33,
    IDS_MENU_FAILED = 34,
    IDS_REBOOT_FAILED = 35,          // shown nowhere
    IDS_MCI_UNRECOGNIZED = 36,
    IDS_MCI_ERROR = 37,
    IDS_READ_FAILED = 38,
    IDS_WRITE_FAILED = 39,
    IDS_TIMER_FAILED = 40,
    IDS_WELCOME = 41,                // shown nowhere
    IDS_HOMEPAGE_BUTTON = 42,
    IDS_HOMEPAGE_URL = 43,
    IDS_MENU_SYSTEM_PROPERTIES = 44,
    IDS_NEW_DEVICE = 45,             // shown nowhere
    IDS_MENU_MULTIMEDIA = 46,
    IDS_MENU_VOLUME_CONTROL = 47,
    IDS_SETTINGS_HEADING = 48,
    IDS_MENU_SETTINGS = 49,
    IDS_MENU_LANGUAGE = 50,
    IDS_MENU_ENGLISH = 51,
    IDS_MENU_RUSSIAN = 52,
    IDS_COMPANION_MISSING = 53,
    IDS_LANGUAGE_HEADING = 54,
    IDS_MENU_OPTIONS = 55,
    IDS_OPTIONS_TITLE = 56,
    IDS_DEFAULT_BUTTON = 57,
    IDS_HOTKEY_LABEL = 58,
    IDS_CANCEL = 59,
    IDS_PLAYER_LABEL = 60,
    IDS_BROWSE_BUTTON = 61,
    IDS_FILE_NOT_FOUND = 62,
    IDS_AUTOCLOSE_CHECK = 63,
    IDS_AUTOCLOSE_TIME_LABEL = 64,
    IDS_SECONDS_UNIT = 65,
    IDS_COUNTDOWN_LABEL = 66,
    IDS_CLOSE_NOW_BUTTON = 67,
    IDS_AUTOCLOSE_TITLE = 68,
    IDS_PAUSE_BUTTON = 69,
    IDS_ENTER_KEY = 70,
    IDS_SPACE_KEY = 71,
    IDS_ESC_KEY = 72,
    IDS_GENERAL_GROUP = 73,
    IDS_CD_DRIVE_GROUP = 74,
    IDS_ADVANCED_GROUP = 75,
    IDS_LOAD_AT_STARTUP_CHECK = 76,
    IDS_PASSWORD_PROTECT_CHECK = 77,
    IDS_PASSWORD_TITLE = 78,
    IDS_OLD_GROUP = 79,
    IDS_NEW_GROUP = 80,
    IDS_TYPE_YOUR_PASSWORD = 81,
    IDS_TYPE_A_PASSWORD = 82,
    IDS_RETYPE_PASSWORD = 83,
    IDS_PASSWORD_INCORRECT = 84,
    IDS_PASSWORD_MISSING = 85,
    IDS_RETYPE_MISSING = 86,
    IDS_RETYPE_MISMATCH = 87,
    IDS_PASSWORD_INVALID = 88,
    IDS_CHANGE_BUTTON = 89,
    IDS_HELP_BUTTON = 90,
    IDS_PASSWORD_UNSTORABLE = 91     // added after the others, so that no id moves
};

// [language][id]: one NUL-terminated code page 1251 text per slot, the rest zero.
extern char StringTable[2][STRING_COUNT][STRING_SLOT];

// Fills StringTable for both languages; the very first thing the program does.
void InitStringTable();

// The text of `id` in the current language, read at the moment it is shown.
const char* UiText(int id);

#endif
