// The menu commands that start other programs: what the shell is asked to
// start, what it starts on this machine, the autorun file's OPEN line, and
// the pause of the program's own music around a window on the disc.
#include <shellapi.h>

#include "DriveScenario.h"
#include "Rows.h"
#include "res/resource.h"

namespace {

// Every launch as "verb file [parameters] -> what started", a line each;
// none is owned, none names a folder, all show normally.
std::string Launches()
{
    std::string lines;
    for (const sim::ShellLaunch& launch : sim::ShellLaunches()) {
        lines += launch.verb.value_or("(default)") + " " + launch.file +
                 (launch.parameters ? " [" + *launch.parameters + "]" : "") + " -> " +
                 (launch.result > 32 ? launch.image : "failed") + "\n";
        EXPECT_EQ(NULL, launch.owner);
        EXPECT_FALSE(launch.directory.has_value());
        EXPECT_EQ(SW_SHOWNORMAL, launch.show);
    }
    return lines;
}

// The time of the first MCI command `command` sent at `from` or later.
DWORD SentAt(const std::string& command, DWORD from)
{
    for (const sim::MciCall& call : sim::MciLog())
        if (call.command == command && call.at >= from) return call.at;
    return 0;
}

const std::string kSystem32 = "C:\\Windows\\System32\\";
const std::string kRundll = "open rundll32.exe [shell32.dll,Control_RunDLL ";
struct ToolRow {
    const char* what;
    UINT command;
    bool oldVolume;
    std::string launches;
};
const ToolRow kTools[] = {
    {"System Properties", IDM_SYSTEM_PROPERTIES, false, kRundll + "sysdm.cpl,,] -> " + kSystem32 + "rundll32.exe\n"},
    {"Multimedia", IDM_MULTIMEDIA, false, kRundll + "mmsys.cpl,,] -> " + kSystem32 + "rundll32.exe\n"},
    // A current Windows has no sndvol32.exe: its own volume control comes instead.
    {"the volume control of a current Windows", IDM_VOLUME_CONTROL, false,
     "open sndvol32.exe -> failed\nopen sndvol.exe -> " + kSystem32 + "sndvol.exe\n"},
    {"the volume control of an old Windows", IDM_VOLUME_CONTROL, true,
     "open sndvol32.exe -> " + kSystem32 + "sndvol32.exe\n"},
    {"Explore", IDM_EXPLORE, false, "explore E:\\ -> C:\\Windows\\explorer.exe\n"},
};
using ShellLaunchTool = Rows<DriveScenario>;

TEST_P(ShellLaunchTool, SystemToolsTheVolumeControlOfOldAndCurrentWindowsAndTheDrive)
{
    const ToolRow& c = kTools[GetParam()];
    if (c.oldVolume) sim::AddFile(kSystem32 + "sndvol32.exe");
    // Explore shows the selected drive, here the second; Open takes the same way (below, with music).
    AddDrives("de");
    sim::InsertDisc('E', sim::DataDisc("TOOLS"));
    Choose(IDM_DRIVE_FIRST + 1);
    Choose(c.command);
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(c.launches, Launches());
    EXPECT_EQ(-1, sim::TraceIndex("Sleep")) << "no music to pause";
    EXPECT_TRUE(MessageTexts().empty());
}
ROWS(ShellLaunchTool, kTools);

struct AutoplayRow {
    const char* what;
    std::string autorun;
    std::vector<const char*> files;   // besides autorun.inf
    std::string launch;               // as Launches() gives it
    const char* failing = nullptr;    // a call that fails once
};
// "D:\" and the value fill the 260 bytes of a path with 256 characters.
const std::string kLongest(256, 'X');
const AutoplayRow kAutoplays[] = {
    // Another key's line first: only the whole word OPEN counts, and every letter is upper-cased.
    {"open after icon", "[autorun]\r\nicon=disc.ico\r\nopen=zap.exe\r\n", {"ZAP.EXE"}, "(default) D:\\ZAP.EXE -> D:\\ZAP.EXE\n"},
    {"any case, blanks round the equals", "[AutoRun]\nOPEN = setup.exe", {"SETUP.EXE"},
     "(default) D:\\SETUP.EXE -> D:\\SETUP.EXE\n"},
    // An empty value leaves the root, which opens as a folder.
    {"an empty value", "[autorun]\r\nopen=\r\n", {}, "(default) D:\\ -> C:\\Windows\\explorer.exe\n"},
    // A command line: the program, then its parameters as written.
    {"a program and its parameters", "[autorun]\r\nopen=Install\\Setup.exe /Auto -Lang=EN\r\n", {"INSTALL\\SETUP.EXE"},
     "(default) D:\\Install\\Setup.exe [/Auto -Lang=EN] -> D:\\Install\\Setup.exe\n"},
    // A name with a blank that is a file on the disc is started whole.
    {"a file name with a blank", "open=my setup.exe\r\n", {"MY SETUP.EXE"},
     "(default) D:\\MY SETUP.EXE -> D:\\MY SETUP.EXE\n"},
    {"no equals", "[autorun]\r\nopen\r\n", {"SETUP.EXE"}, ""},
    // A value longer than a path is not started cut short.
    {"a path that just fits", "open=" + kLongest + "\r\n", {}, "(default) D:\\" + kLongest + " -> failed\n"},
    {"a path one too long", "open=" + kLongest + "X\r\n", {}, ""},
    {"a program one too long", "open=" + kLongest + "X /auto\r\n", {}, ""},
    // A file that cannot be read starts nothing, and is closed all the same.
    {"the file cannot be read", "open=setup.exe", {"SETUP.EXE"}, "", "ReadFile"},
};
using ShellLaunchAutoplay = Rows<DriveScenario>;

TEST_P(ShellLaunchAutoplay, StartsTheOpenLineOfTheAutorunFile)
{
    const AutoplayRow& c = kAutoplays[GetParam()];
    std::map<std::string, std::string> files = {{"autorun.inf", c.autorun}};
    for (const char* name : c.files) files[name] = "MZ";
    AddDrives("d");
    sim::InsertDisc('D', sim::DataDisc("INSTALL", files));
    if (c.failing) sim::FailCall(c.failing);
    Choose(IDM_AUTOPLAY);
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(c.launch, Launches());
    EXPECT_TRUE(MessageTexts().empty()) << "a failed autoplay is not reported";
    EXPECT_EQ(0u, sim::CurrentErrorMode());
}
ROWS(ShellLaunchAutoplay, kAutoplays);

// A launch while the program's own music plays: Open and Explore pause it for three seconds around
// the window on the disc; the CD player takes the drive over, or is said to be missing.
struct PlayingRow {
    const char* what;
    UINT command;
    const char* player;            // the setting, if any
    bool mediaPlayer;              // the system has Windows Media Player
    std::function<void()> fault;   // just before the command
    std::string launch;            // as Launches() gives it
    const char* afterwards;        // the music then
    std::vector<std::string> boxes;
};
const char kPlayer[] = "C:\\Windows\\Cdplayer.exe";
const std::string kMediaPlayer = "C:\\Program Files\\Windows Media Player\\wmplayer.exe";
const PlayingRow kPlaying[] = {
    {"Open", IDM_OPEN_FOLDER, NULL, false, [] {}, "open D:\\ -> C:\\Windows\\explorer.exe\n", "playing", {}},
    {"the shell fails", IDM_EXPLORE, NULL, false, [] { sim::FailCall("ShellExecuteA"); }, "explore D:\\ -> failed\n",
     "playing", {}},
    {"the pause fails", IDM_OPEN_FOLDER, NULL, false, [] { sim::FailMci("pause cdaudio", MCIERR_HARDWARE); },
     "open D:\\ -> C:\\Windows\\explorer.exe\n", "playing", {"MCI device error."}},
    // 32 (SE_ERR_DLLNOTFOUND) is the highest result that is a failure.
    {"the player set, the shell fails", IDM_CD_PLAYER, kPlayer, false,
     [] { sim::FailCall("ShellExecuteA", kPlayer, 32); }, "open C:\\Windows\\Cdplayer.exe -> failed\n", "playing",
     {"File not found!"}},
    {"the system's media player", IDM_CD_PLAYER, NULL, true, [] {}, "open wmplayer.exe -> " + kMediaPlayer + "\n",
     "stopped", {}},
};
using ShellLaunchPlaying = Rows<DriveScenario>;

TEST_P(ShellLaunchPlaying, PausesTheMusicAroundAWindowOnTheDiscOrHandsTheDriveToThePlayer)
{
    const PlayingRow& c = kPlaying[GetParam()];
    if (c.player) Store("Player", c.player);
    if (c.mediaPlayer) {
        sim::AddFile(kMediaPlayer);
        sim::SetRegText("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\wmplayer.exe", "", kMediaPlayer);
    }
    AddDrives("d");
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(4, 0), sim::Frames(3, 0)}));
    Choose(IDM_PLAY);
    user.Wait(2000).AcceptMessageBoxes();
    Step(c.fault);
    Choose(c.command);
    const Seen& seen = Look();
    Step([&c] { EXPECT_EQ(c.afterwards, sim::DrivePlayState('D')) << "the player takes the drive over"; });
    EXPECT_EQ(0, RunToExit());

    EXPECT_EQ(c.launch, Launches());
    EXPECT_EQ(c.afterwards == std::string("stopped"), seen.devices.empty());
    EXPECT_EQ(c.boxes, seen.boxes);
    EXPECT_EQ(c.boxes.empty() ? "" : "main", Joined(BoxOwners()));
    // What the program did not pause, it does not pause afterwards; the player is not waited for.
    EXPECT_EQ(c.command == IDM_CD_PLAYER ? 0 : 1, Sent("pause cdaudio"));
    if (c.command == IDM_CD_PLAYER && !c.boxes.empty()) {
        EXPECT_EQ(static_cast<UINT>(MB_ICONHAND | MB_SETFOREGROUND), sim::MessageBoxes().at(0).type);
    }
    if (c.command != IDM_CD_PLAYER) {
        const sim::ShellLaunch& launch = sim::ShellLaunches().at(0);
        const DWORD paused = SentAt("pause cdaudio", 0);
        EXPECT_LE(paused, launch.at);
        // Nothing else runs during the wait: the resume comes exactly 3 s after a launch.
        if (c.boxes.empty()) {
            EXPECT_EQ(launch.result > 32 ? 3000u : 0u, SentAt("play cdaudio", paused) - launch.at);
        }
    }
}
ROWS(ShellLaunchPlaying, kPlaying);

}  // namespace
