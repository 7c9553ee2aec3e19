#include "app/ShellLaunch.h"

#include <shellapi.h>
#include <string.h>

#include "app/Text.h"
#include "app/WinMain.h"
#include "drive/Autorun.h"
#include "drive/DriveDiscovery.h"
#include "drive/Playback.h"
#include "res/resource.h"
#include "settings/Settings.h"
#include "ui/MessageBoxes.h"
#include "ui/StringTable.h"

namespace {

const DWORD kPlaybackPause = 3000;   // ms the music stays paused after a successful launch

// Windows since Vista has no sndvol32.exe and none has Cdplayer.exe any more:
// these are what a current system offers instead.
const char kVolumeControl[] = "sndvol32.exe";
const char kCurrentVolumeControl[] = "sndvol.exe";
const char kCurrentCdPlayer[] = "wmplayer.exe";
const char kAppletHost[] = "rundll32.exe";
// Where the shell finds programs that are not along the search order.
const char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

// ShellExecuteA's result: above 32 when the shell started something.
int Launch(const char* verb, const char* file, const char* parameters)
{
    HINSTANCE result = ShellExecuteA(NULL, verb, file, parameters, NULL, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// The music pauses while the shell opens a window on the disc, and goes on
// once the window has had time to come up.
void LaunchPausingPlayback(const char* verb, const char* file, const char* parameters)
{
    if (!Playing) {
        Launch(verb, file, parameters);
        return;
    }
    PauseResume();
    // A pause that failed left the music playing: it needs no resume.
    int paused = Paused;
    if (Launch(verb, file, parameters)) Sleep(kPlaybackPause);
    if (paused) PauseResume();
}

// Whether `name`, relative to `root`, is a file on the disc.
int FileOnDisc(const char* root, const char* name)
{
    char found[PATH_SIZE];
    char* namePart = NULL;
    UINT oldMode = SetErrorMode(QUIET_ERROR_MODE);
    DWORD length = SearchPathA(root, name, NULL, PATH_SIZE, found, &namePart);
    SetErrorMode(oldMode);
    return length > 0 && length < PATH_SIZE;
}

}  // namespace

void BrowseDisc(int useOpen)
{
    if (DriveCount == 0) return;
    char root[4];
    DriveRoot(SelectedDrive, root);
    LaunchPausingPlayback(useOpen ? "open" : "explore", root, NULL);
}

void RunAutoplay()
{
    // Without a drive the root would be empty, and the current folder's
    // autorun.inf would be read instead of a disc's.
    if (DriveCount == 0) return;
    char root[4];
    DriveRoot(SelectedDrive, root);
    // Both copies get a terminator after the bytes read.
    static char text[AUTORUN_READ_SIZE + 1];
    static char original[AUTORUN_READ_SIZE + 1];
    DWORD length = 0;
    UINT oldMode = SetErrorMode(QUIET_ERROR_MODE);
    int read = ReadAutorunText(root, text, &length, original);
    SetErrorMode(oldMode);
    if (!read) return;
    text[length] = '\0';
    original[length] = '\0';

    int open = FindOpenKey(text, length);
    if (open < 0) return;
    DWORD start = static_cast<DWORD>(open);
    while (start < length && text[start] != '=') ++start;
    if (start == length) return;
    while (start < length && (text[start] == '=' || text[start] == ' ')) ++start;
    DWORD end = start;
    while (end < length && text[end] != '\r' && text[end] != '\n') ++end;
    // A value with a NUL in it cannot be passed whole: the part before the NUL
    // would name another file.
    if (memchr(text + start, '\0', end - start) != NULL) return;
    text[end] = '\0';
    original[end] = '\0';
    const char* value = text + start;

    // A value that names a file on the disc is started whole. Otherwise one
    // with a blank is a command line: the program before the first blank,
    // the rest as its parameters, both as the file spells them. A program
    // that does not fit a path is not started cut short: that would be
    // another file.
    char command[PATH_SIZE];
    CopyText(command, sizeof command, root);
    const char* blank = strchr(value, ' ');
    if (blank != NULL && !FileOnDisc(root, value)) {
        original[blank - text] = '\0';
        if (!AppendText(command, sizeof command, original + start)) return;
        LaunchPausingPlayback(NULL, command, original + (blank - text) + 1);
        return;
    }
    if (!AppendText(command, sizeof command, value)) return;
    LaunchPausingPlayback(NULL, command, NULL);
}

int CdPlayerFound()
{
    if (SettingsRecord.Player[0] != '\0') return PlayerFileFound(SettingsRecord.Player);
    // The system's media player is not along the search order on a current
    // Windows: the shell finds it through its registration.
    if (PlayerFileFound(kCurrentCdPlayer)) return 1;
    char subKey[PATH_SIZE];
    CopyText(subKey, sizeof subKey, kAppPathsKey);
    AppendText(subKey, sizeof subKey, kCurrentCdPlayer);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return 0;
    RegCloseKey(key);
    return 1;
}

void LaunchCdPlayer()
{
    // Without a player of the user's own, the system's current one.
    const char* player = SettingsRecord.Player[0] != '\0' ? SettingsRecord.Player : kCurrentCdPlayer;
    if (!Launch("open", player, NULL)) {
        MessageBoxById(MainWindow, IDS_FILE_NOT_FOUND, MB_ICONHAND);
        return;
    }
    // The player takes the drive over.
    StopDisc();
}

void RunSystemTool(UINT command)
{
    switch (command) {
    case IDM_SYSTEM_PROPERTIES:
        Launch("open", kAppletHost, "shell32.dll,Control_RunDLL sysdm.cpl,,");
        break;
    case IDM_MULTIMEDIA:
        Launch("open", kAppletHost, "shell32.dll,Control_RunDLL mmsys.cpl,,");
        break;
    case IDM_VOLUME_CONTROL:
        if (!Launch("open", kVolumeControl, NULL)) Launch("open", kCurrentVolumeControl, NULL);
        break;
    }
}
