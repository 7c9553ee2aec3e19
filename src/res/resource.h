// Resource and command identifiers shared by Dorvane.rc and the program.
// Plain #defines only: windres and the host's template reader both read this file.
#ifndef DORVANE_RESOURCE_H
#define DORVANE_RESOURCE_H

// Menu
#define IDR_TRAY_MENU            101

// Dialogs
#define IDD_MAIN                 103
#define IDD_ABOUT                105
#define IDD_OPTIONS              106
#define IDD_AUTOCLOSE            107
#define IDD_PASSWORD_CHANGE      108
#define IDD_PASSWORD_PROMPT      109

// Controls of the About dialog
#define IDC_ABOUT_EMAIL          1001
#define IDC_ABOUT_HOMEPAGE       1002
#define IDC_ABOUT_HELP           1003
#define IDC_ABOUT_VERSION        1011
#define IDC_ABOUT_CREDITS        1012

// Controls of the countdown (1 "Close!", 2 "Cancel")
#define IDC_COUNTDOWN_PAUSE      3
#define IDC_COUNTDOWN_LABEL      1013
#define IDC_COUNTDOWN_SECONDS    1014
#define IDC_COUNTDOWN_ENTER      1015
#define IDC_COUNTDOWN_SPACE      1017
#define IDC_COUNTDOWN_ESC        1018

// Controls of the Options dialog
#define IDC_HOTKEY_LABEL         1013
#define IDC_PLAYER_LABEL         1014
#define IDC_TIME_LABEL           1015
#define IDC_SECONDS_LABEL        1017
#define IDC_HOTKEY               1018
#define IDC_DEFAULT_HOTKEY       1019
#define IDC_PLAYER               1020
#define IDC_BROWSE               1021
#define IDC_AUTOCLOSE            1022
#define IDC_TIME                 1023
#define IDC_TIME_UPDOWN          1024
#define IDC_LOAD_AT_STARTUP      1025
#define IDC_CD_DRIVE_GROUP       1026
#define IDC_ADVANCED_GROUP       1027
#define IDC_PASSWORD_PROTECT     1028
#define IDC_GENERAL_GROUP        1029
#define IDC_CHANGE_PASSWORD      1030

// Controls of the password dialogs
#define IDC_NEW_GROUP            1026
#define IDC_OLD_LABEL            1027
#define IDC_NEW_LABEL            1028
#define IDC_OLD_GROUP            1029
#define IDC_RETYPE_LABEL         1030
#define IDC_OLD_PASSWORD         1031
#define IDC_NEW_PASSWORD         1032
#define IDC_RETYPE_PASSWORD      1033

// Icons
#define IDI_DORVANE              151
#define IDI_DOOR_MOVING          158
#define IDI_NO_DISC              190

// Menu pictures: 13 x 13, 16 colours on white (163 is the 20 x 16 disc of the
// track lines)
#define IDB_EXIT                 136
#define IDB_FOLDER               138
#define IDB_ABOUT                139
#define IDB_EXPLORE              140
#define IDB_AUTOPLAY             141
#define IDB_EJECT                142
#define IDB_CLOSE                143
#define IDB_DRIVE                147
#define IDB_CD_PLAYER            162
#define IDB_TRACK_DISC           163
#define IDB_INFO                 166
#define IDB_PLAY                 171
#define IDB_PAUSE                172
#define IDB_STOP                 173
#define IDB_PREVIOUS             174
#define IDB_NEXT                 175
#define IDB_CD_AUDIO             176
#define IDB_VOLUME               182
#define IDB_MULTIMEDIA           183
#define IDB_COMPUTER             185
#define IDB_SETTINGS             186
#define IDB_ENGLISH              188
#define IDB_RUSSIAN              189
#define IDB_OPTIONS              190

// Tray menu commands
#define IDM_EXPLORE              40001
#define IDM_EXIT                 40002
#define IDM_ABOUT                40003
#define IDM_OPEN_FOLDER          40005
#define IDM_AUTOPLAY             40009
#define IDM_OPEN_DOOR            40010
#define IDM_CLOSE_DOOR           40011
#define IDM_CD_PLAYER            40012
#define IDM_PLAY                 40014
#define IDM_PAUSE                40015
#define IDM_STOP                 40016
#define IDM_PREVIOUS_TRACK       40017
#define IDM_NEXT_TRACK           40018
#define IDM_DISC_SUMMARY         40019
#define IDM_TRACK_LINE           40020
#define IDM_LENGTH_LINE          40021
#define IDM_SYSTEM_PROPERTIES    40024
#define IDM_MULTIMEDIA           40026
#define IDM_VOLUME_CONTROL       40027
#define IDM_SETTINGS_HEADING     40028
#define IDM_ENGLISH              40030
#define IDM_RUSSIAN              40031
#define IDM_LANGUAGE_HEADING     40032
#define IDM_OPTIONS              40033
#define IDM_DRIVE_FIRST          40201
#define IDM_DRIVE_LAST           40226

#endif
