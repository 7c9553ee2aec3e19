// The menu commands that start other programs: what the shell is asked to
// start, what it starts on this machine, the autorun file's OPEN line, and
// the pause of the program's own music around a window on the disc.
#include <shellapi.h>

#include <algorithm>

#include "DriveScenario.h"
#include "res/resource.h"

namespace {

using sim::ShellLaunch;

const char kSystem32[] = "C:\\Windows\\System32\\";

class ShellLaunchTest : public DriveScenario {
protected:
    void SetUp() override
    {
        DriveScenario::SetUp();
        AddDrives("d");
    }

    void Choose(UINT command) { user.RightClickTray().ChooseMenuItem(command); }

    void RunToExit()
    {
        user.AcceptMessageBoxes();
        Choose(IDM_EXIT);
        EXPECT_EQ(0, Run());
    }

    // Runs the program, chooses `command` once and gives what was launched.
    std::vector<ShellLaunch> LaunchesOf(UINT command)
    {
        Choose(command);
        RunToExit();
        return sim::ShellLaunches();
    }

    // The time of the first MCI command `command` sent at `from` or later.
    static DWORD SentAt(const std::string& command, DWORD from)
    {
        for (const sim::MciCall& call : sim::MciLog())
            if (call.command == command && call.at >= from) return call.at;
        return 0;
    }
};

void ExpectStarted(const ShellLaunch& launch, const char* verb, const std::string& file, const char* parameters,
                   const std::string& image)
{
    SCOPED_TRACE(file);
    EXPECT_EQ(NULL, launch.owner);
    if (verb) EXPECT_EQ(verb, launch.verb.value_or("(default)"));
    else EXPECT_FALSE(launch.verb.has_value()) << *launch.verb;
    EXPECT_EQ(file, launch.file);
    if (parameters) EXPECT_EQ(parameters, launch.parameters.value_or("(none)"));
    else EXPECT_FALSE(launch.parameters.has_value()) << *launch.parameters;
    EXPECT_FALSE(launch.directory.has_value());
    EXPECT_EQ(SW_SHOWNORMAL, launch.show);
    EXPECT_GT(launch.result, 32);
    EXPECT_EQ(image, launch.image);
}

}  // namespace

TEST_F(ShellLaunchTest, SystemToolsAndTheVolumeControlOfOldAndCurrentWindows)
{
    std::vector<ShellLaunch> launches = LaunchesOf(IDM_SYSTEM_PROPERTIES);
    ASSERT_EQ(1u, launches.size());
    ExpectStarted(launches[0], "open", "rundll32.exe", "shell32.dll,Control_RunDLL sysdm.cpl,,",
                  std::string(kSystem32) + "rundll32.exe");

    SetUp();
    launches = LaunchesOf(IDM_MULTIMEDIA);
    ASSERT_EQ(1u, launches.size());
    ExpectStarted(launches[0], "open", "rundll32.exe", "shell32.dll,Control_RunDLL mmsys.cpl,,",
                  std::string(kSystem32) + "rundll32.exe");

    // A current Windows has no sndvol32.exe: its own volume control comes instead.
    SetUp();
    launches = LaunchesOf(IDM_VOLUME_CONTROL);
    ASSERT_EQ(2u, launches.size());
    EXPECT_EQ("sndvol32.exe", launches[0].file);
    EXPECT_EQ(SE_ERR_FNF, launches[0].result);
    ExpectStarted(launches[1], "open", "sndvol.exe", NULL, std::string(kSystem32) + "sndvol.exe");

    // Where sndvol32.exe is, it is the one started.
    SetUp();
    sim::AddFile(std::string(kSystem32) + "sndvol32.exe");
    launches = LaunchesOf(IDM_VOLUME_CONTROL);
    ASSERT_EQ(1u, launches.size());
    ExpectStarted(launches[0], "open", "sndvol32.exe", NULL, std::string(kSystem32) + "sndvol32.exe");
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(ShellLaunchTest, ExploreAndOpenShowTheSelectedDrive)
{
    AddDrives("e");
    sim::InsertDisc('E', sim::DataDisc("TOOLS"));
    Choose(IDM_DRIVE_FIRST + 1);
    Choose(IDM_EXPLORE);
    Choose(IDM_OPEN_FOLDER);
    RunToExit();
    const std::vector<ShellLaunch>& launches = sim::ShellLaunches();
    ASSERT_EQ(2u, launches.size());
    ExpectStarted(launches[0], "explore", "E:\\", NULL, "C:\\Windows\\explorer.exe");
    ExpectStarted(launches[1], "open", "E:\\", NULL, "C:\\Windows\\explorer.exe");
    EXPECT_EQ(-1, sim::TraceIndex("Sleep")) << "no music to pause";
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(ShellLaunchTest, MusicPausesThreeSecondsAroundAWindowOnTheDisc)
{
    for (UINT command : {IDM_EXPLORE, IDM_OPEN_FOLDER}) {
        for (bool launchFails : {false, true}) {
            SCOPED_TRACE(std::to_string(command) + (launchFails ? ", the shell fails" : ""));
            SetUp();
            sim::InsertDisc('D', sim::AudioDisc({sim::Frames(4, 0), sim::Frames(3, 0)}));
            Choose(IDM_PLAY);
            user.Wait(2000);
            if (launchFails) user.Do("break the shell", [] { sim::FailCall("ShellExecuteA"); });
            Choose(command);
            std::string afterwards;
            user.Do("listen", [&] { afterwards = sim::DrivePlayState('D'); });
            RunToExit();

            ASSERT_EQ(1u, sim::ShellLaunches().size());
            const ShellLaunch& launch = sim::ShellLaunches()[0];
            EXPECT_EQ(launchFails, launch.result <= 32);
            DWORD paused = SentAt("pause cdaudio", 0);
            DWORD resumed = SentAt("play cdaudio", paused);
            ASSERT_NE(0u, paused);
            ASSERT_NE(0u, resumed) << "the music goes on";
            EXPECT_LE(paused, launch.at);
            // Nothing else runs during the wait: the resume comes exactly 3 s after the launch.
            EXPECT_EQ(launchFails ? 0u : 3000u, resumed - launch.at);
            EXPECT_EQ("playing", afterwards);
            EXPECT_TRUE(MessageTexts().empty());
        }
    }
}

TEST_F(ShellLaunchTest, AFailedPauseBeforeAWindowOnTheDiscLeavesTheMusicAlone)
{
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(4, 0), sim::Frames(3, 0)}));
    Choose(IDM_PLAY);
    user.Do("break the pause", [] { sim::FailMci("pause cdaudio", MCIERR_HARDWARE); });
    Choose(IDM_EXPLORE);
    std::string afterwards;
    user.AnswerMessageBox(IDOK).Do("listen", [&] { afterwards = sim::DrivePlayState('D'); });
    RunToExit();
    EXPECT_EQ("playing", afterwards) << "what the program did not pause, it does not pause afterwards";
    std::vector<std::string> sent = sim::MciCommands();
    EXPECT_EQ(1, std::count(sent.begin(), sent.end(), "pause cdaudio"));
    EXPECT_EQ(std::vector<std::string>{"MCI device error."}, MessageTexts());
}

TEST_F(ShellLaunchTest, AutoplayStartsTheOpenLineOfTheAutorunFile)
{
    struct Case {
        const char* autorun;
        std::vector<const char*> files;   // besides autorun.inf
        const char* file;                 // what the shell is asked to start, null for nothing
        const char* parameters;
        bool starts;
    };
    const std::string padding(4100, ';');
    const std::string lateEquals = "[open]\r\n" + padding + "\r\nx=late.exe\r\n";
    // "D:\" and the value fill the 260 bytes of a path with 256 characters.
    const std::string longest = "D:\\" + std::string(256, 'X');
    const std::string fits = "open=" + longest.substr(3) + "\r\n";
    const std::string tooLong = "open=" + longest.substr(3) + "X\r\n";
    const std::string programTooLong = "open=" + longest.substr(3) + "X /auto\r\n";
    const Case cases[] = {
        {"[autorun]\r\nicon=disc.ico\r\nopen=setup.exe\r\n", {"SETUP.EXE"}, "D:\\SETUP.EXE", NULL, true},
        {"[autorun]\r\nopen=setup.exe\r\nicon=disc.ico\r\n", {"SETUP.EXE"}, "D:\\SETUP.EXE", NULL, true},
        {"[AutoRun]\nOPEN = setup.exe", {"SETUP.EXE"}, "D:\\SETUP.EXE", NULL, true},
        // An empty value leaves the root, which opens as a folder.
        {"[autorun]\r\nopen=\r\n", {}, "D:\\", NULL, true},
        // A command line: the program, then its parameters as written.
        {"[autorun]\r\nopen=Install\\Setup.exe /Auto -Lang=EN\r\n", {"INSTALL\\SETUP.EXE"},
         "D:\\Install\\Setup.exe", "/Auto -Lang=EN", true},
        {"open=setup.exe /auto", {}, "D:\\setup.exe", "/auto", false},
        // A name with a blank that is a file on the disc is started whole.
        {"open=my setup.exe\r\n", {"MY SETUP.EXE"}, "D:\\MY SETUP.EXE", NULL, true},
        {"[autorun]\r\nopen\r\n", {"SETUP.EXE"}, NULL, NULL, false},
        // Only the first 4096 bytes count.
        {lateEquals.c_str(), {"LATE.EXE"}, NULL, NULL, false},
        // A value longer than a path is not started cut short.
        {fits.c_str(), {}, longest.c_str(), NULL, false},
        {tooLong.c_str(), {}, NULL, NULL, false},
        {programTooLong.c_str(), {}, NULL, NULL, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.autorun);
        SetUp();
        std::map<std::string, std::string> files = {{"autorun.inf", c.autorun}};
        for (const char* name : c.files) files[name] = "MZ";
        sim::InsertDisc('D', sim::DataDisc("INSTALL", files));
        std::vector<ShellLaunch> launches = LaunchesOf(IDM_AUTOPLAY);
        EXPECT_TRUE(MessageTexts().empty()) << "a failed autoplay is not reported";
        if (c.file == NULL) {
            EXPECT_TRUE(launches.empty());
            continue;
        }
        ASSERT_EQ(1u, launches.size());
        EXPECT_FALSE(launches[0].verb.has_value());
        EXPECT_EQ(c.file, launches[0].file);
        EXPECT_EQ(c.parameters ? c.parameters : "(none)", launches[0].parameters.value_or("(none)"));
        EXPECT_EQ(c.starts, launches[0].result > 32) << launches[0].result;
    }
}

// After "No" to the question about a missing CD drive, the disc's commands
// find no disc: not the current folder's autorun.inf, not a locked door.
TEST_F(ShellLaunchTest, WithoutACdDriveTheDiscCommandsDoNothing)
{
    DriveScenario::SetUp();
    sim::AddFile("C:\\autorun.inf", "[autorun]\r\nopen=setup.exe\r\n");
    sim::AddFile("C:\\setup.exe", "MZ");
    sim::SetRegText(SETTINGS_PATH, "Locked", "1");
    user.AnswerMessageBox(IDNO).AnswerMessageBox(IDOK);
    for (UINT command : {IDM_AUTOPLAY, IDM_EXPLORE, IDM_OPEN_FOLDER}) Choose(command);
    size_t dialogs = 0;
    user.LeftClickTray().Wait(1000).Do("look", [&] { dialogs = sim::OpenDialogs().size(); }).EndTask();
    Run();
    EXPECT_TRUE(sim::ShellLaunches().empty());
    EXPECT_EQ(1u, dialogs) << "only the main window: no password for a door that is not there";
    std::vector<std::string> sent = sim::MciCommands();
    EXPECT_EQ(0, std::count(sent.begin(), sent.end(), "open cdaudio alias cd4open shareable"));
    EXPECT_EQ(2u, MessageTexts().size());
}

TEST_F(ShellLaunchTest, CdPlayerTakesTheDriveOverOrSaysItIsMissing)
{
    struct Case {
        const char* player;   // the setting; null: none found at start
        bool mediaPlayer;     // the system has Windows Media Player
        const char* started;  // what is started, null for nothing
    };
    const Case cases[] = {
        {"C:\\Windows\\Cdplayer.exe", false, "C:\\Windows\\Cdplayer.exe"},
        // Usable in the menu (a Cdplayer.exe is on the search path), but not where the setting says.
        {"C:\\Old\\Cdplayer.exe", true, NULL},
        {NULL, true, "C:\\Program Files\\Windows Media Player\\wmplayer.exe"},
        {NULL, false, NULL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.player ? c.player : "no player");
        SetUp();
        if (c.player) {
            sim::AddFile("C:\\Windows\\Cdplayer.exe");
            sim::SetRegText(SETTINGS_PATH, "Player", c.player);
        }
        if (c.mediaPlayer) {
            const std::string path = "C:\\Program Files\\Windows Media Player\\wmplayer.exe";
            sim::AddFile(path);
            sim::SetRegText("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\wmplayer.exe", "", path);
        }
        sim::InsertDisc('D', sim::AudioDisc({sim::Frames(4, 0), sim::Frames(3, 0)}));
        Choose(IDM_PLAY);
        user.Wait(1000);
        Choose(IDM_CD_PLAYER);
        std::string afterwards;
        std::vector<std::string> devices;
        user.Do("listen", [&] {
            afterwards = sim::DrivePlayState('D');
            devices = sim::OpenMciDevices();
        });
        RunToExit();

        const std::vector<ShellLaunch>& launches = sim::ShellLaunches();
        ASSERT_EQ(1u, launches.size());
        EXPECT_EQ("open", launches[0].verb.value_or("(default)"));
        EXPECT_EQ(c.player ? c.player : "wmplayer.exe", launches[0].file);
        if (c.started) {
            EXPECT_EQ(c.started, launches[0].image);
            EXPECT_EQ("stopped", afterwards) << "the player takes the drive over";
            EXPECT_TRUE(devices.empty());
            EXPECT_TRUE(MessageTexts().empty());
        } else {
            EXPECT_LE(launches[0].result, 32);
            EXPECT_EQ("playing", afterwards);
            ASSERT_EQ(1u, sim::MessageBoxes().size());
            EXPECT_EQ("File not found!", sim::MessageBoxes()[0].text);
            EXPECT_EQ(static_cast<UINT>(MB_ICONHAND | MB_SETFOREGROUND), sim::MessageBoxes()[0].type);
        }
    }
}
