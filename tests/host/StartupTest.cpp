// Start-up: the install directory, the companion, the single instance and
// the main window, and what the user sees when one of them fails.
#include <string>

#include "Scenario.h"
#include "app/WinMain.h"
#include "res/resource.h"

namespace {

const char kCompanionArguments[] = " 236 \"Dorvane_is1\"";

class StartupTest : public Scenario {
protected:
    // A start that ends in a message box: the box is answered and the result kept.
    int RunExpectingMessage(const std::string& commandLine = "")
    {
        user.AnswerMessageBox(IDOK);
        return Run(commandLine);
    }

    void ExpectOnlyMessage(const std::string& text)
    {
        ASSERT_EQ(1u, sim::MessageBoxes().size());
        const sim::MessageBoxRecord& box = sim::MessageBoxes()[0];
        EXPECT_EQ(text, box.text);
        EXPECT_EQ("Dorvane", box.caption);
        EXPECT_EQ(NULL, box.owner);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_SETFOREGROUND), box.type);
    }

    void ExpectNoMainWindow()
    {
        EXPECT_EQ(-1, sim::TraceIndex("CreateDialogParamA"));
        EXPECT_TRUE(sim::TrayIcons().empty());
        EXPECT_TRUE(sim::TrayCalls().empty());
    }
};

}  // namespace

TEST_F(StartupTest, InstallPathNamesTheCompanionWhichIsStartedAndLeftAlone)
{
    Install();
    sim::AddCdDrive('D');
    sim::AddFile("C:\\Program.exe");   // what an unnamed program file with blanks would start
    user.RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());

    ASSERT_EQ(1u, sim::ProcessStarts().size());
    const sim::ProcessStart& start = sim::ProcessStarts()[0];
    EXPECT_TRUE(start.succeeded);
    EXPECT_EQ(DEFAULT_INSTALL_DIR "\\Ambergate.exe", start.image);
    // The program file is named, so the blanks of "Program Files" cannot send
    // the system to C:\Program.exe first.
    EXPECT_EQ(DEFAULT_INSTALL_DIR "\\Ambergate.exe", start.applicationName);
    EXPECT_EQ(std::string(DEFAULT_INSTALL_DIR "\\Ambergate.exe") + kCompanionArguments, start.commandLine);
    EXPECT_FALSE(start.inheritHandles);
    EXPECT_EQ(0u, start.creationFlags);
    EXPECT_FALSE(start.environmentGiven || start.directoryGiven || start.securityGiven);

    // All zero but its size, the show flag and the show command.
    STARTUPINFOA expected = {};
    expected.cb = sizeof(STARTUPINFOA);
    expected.dwFlags = STARTF_USESHOWWINDOW;
    expected.wShowWindow = SW_SHOWDEFAULT;
    EXPECT_EQ(0, memcmp(&expected, &start.startup, sizeof expected));

    EXPECT_STREQ(DEFAULT_INSTALL_DIR, InstallDir);
    EXPECT_TRUE(sim::MessageBoxes().empty());
    EXPECT_EQ(0, sim::OpenKernelHandles()) << "process and thread handles of the companion are closed";
    EXPECT_EQ(0, sim::OpenRegistryHandles());
}

TEST_F(StartupTest, CommandLineIsTheInstallDirExactlyAsReceived)
{
    // Blanks inside and at the end stay; the registry is not read.
    Install("C:\\My Tools\\Dorvane", false);
    user.RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run("C:\\My Tools\\Dorvane"));
    ASSERT_EQ(1u, sim::ProcessStarts().size());
    EXPECT_TRUE(sim::ProcessStarts()[0].succeeded) << "found through the blank-separated words, as Windows does";
    EXPECT_GT(sim::TraceIndex("RegOpenKeyExA HKCU\\Software\\Ostrelle\\Dorvane"), sim::TraceIndex("CreateDialogParamA"))
        << "only the settings are read from the key, once the window exists";

    SetUp();
    user.AnswerMessageBox(IDOK);
    Run("\"C:\\Tools\\Dorvane\" ");
    EXPECT_STREQ("\"C:\\Tools\\Dorvane\" ", InstallDir);
    ASSERT_EQ(1u, sim::ProcessStarts().size());
    // The quotes reach the companion's command line, where they name no program.
    EXPECT_EQ(std::string("\"C:\\Tools\\Dorvane\" \\Ambergate.exe") + kCompanionArguments,
              sim::ProcessStarts()[0].commandLine);
}

TEST_F(StartupTest, WithoutAnInstallDirectoryItSaysSoAndEnds)
{
    struct Case {
        const char* what;
        std::function<void()> prepare;
    };
    const Case cases[] = {
        {"no settings key", [] {}},
        {"no InstallPath value", [] { sim::SetRegText(SETTINGS_PATH, "Language", "0"); }},
        {"a value that fills the 200-byte buffer with no terminator",
         [] { sim::SetRegValue(SETTINGS_PATH, "InstallPath", REG_SZ, std::string(200, 'x')); }},
        {"a value longer than the buffer", [] { sim::SetRegText(SETTINGS_PATH, "InstallPath", std::string(250, 'x')); }},
        {"a key that cannot be opened",
         [] {
             sim::SetRegText(SETTINGS_PATH, "InstallPath", DEFAULT_INSTALL_DIR);
             sim::FailCall("RegOpenKeyExA", SETTINGS_PATH);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Install(DEFAULT_INSTALL_DIR, false);
        c.prepare();
        EXPECT_EQ(0, RunExpectingMessage());
        // English, whatever language is stored; nothing else was tried.
        ExpectOnlyMessage("Failed to read information.");
        EXPECT_TRUE(sim::ProcessStarts().empty());
        ExpectNoMainWindow();
        EXPECT_EQ(0, sim::OpenRegistryHandles());
    }
}

TEST_F(StartupTest, InstallPathIsReadWhateverItsTypeAndUpTo199Characters)
{
    std::string dir = "C:\\" + std::string(196, 'd');   // 199 characters
    Install(dir, false);
    sim::SetRegValue(SETTINGS_PATH, "InstallPath", REG_EXPAND_SZ, dir + std::string(1, '\0'));
    user.RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());
    EXPECT_EQ(dir, InstallDir);
    ASSERT_EQ(1u, sim::ProcessStarts().size());
    EXPECT_TRUE(sim::ProcessStarts()[0].succeeded);
}

TEST_F(StartupTest, MissingCompanionEndsTheStartWithoutAnIcon)
{
    sim::AddFile(DEFAULT_INSTALL_DIR "\\Dorvane.exe");
    sim::SetRegText(SETTINGS_PATH, "InstallPath", DEFAULT_INSTALL_DIR);
    sim::SetRegText(SETTINGS_PATH, "Language", "0");
    EXPECT_EQ(0, RunExpectingMessage());
    ExpectOnlyMessage("File \"Ambergate.exe\" not found!\n\nTerminating.");
    ExpectNoMainWindow();
    EXPECT_EQ(-1, sim::SharedInstanceCount()) << "the instance check comes after the companion";
}

TEST_F(StartupTest, CompanionCommandLineMustFitItsBuffer)
{
    // The directory, "\Ambergate.exe" and the arguments: at most 259 characters.
    const size_t longest = 259 - 14 - (sizeof kCompanionArguments - 1);
    std::string fits = "C:\\" + std::string(longest - 3, 'd');
    Install(fits, false);
    user.RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run(fits));
    ASSERT_EQ(1u, sim::ProcessStarts().size());
    EXPECT_EQ(259u, sim::ProcessStarts()[0].commandLine.size());

    for (size_t length : {longest + 1, size_t(300), size_t(1000)}) {
        SCOPED_TRACE(length);
        SetUp();
        std::string tooLong = "C:\\" + std::string(length - 3, 'd');
        Install(tooLong, false);
        EXPECT_EQ(0, RunExpectingMessage(tooLong));
        ExpectOnlyMessage("File \"Ambergate.exe\" not found!\n\nTerminating.");
        EXPECT_TRUE(sim::ProcessStarts().empty()) << "a command line that does not fit is not started cut short";
        EXPECT_EQ('\0', InstallDir[sizeof InstallDir - 1]);
    }
}

TEST_F(StartupTest, SecondStartLaunchesTheCompanionThenGivesWay)
{
    Install();
    sim::SetRegText(SETTINGS_PATH, "Language", "0");
    sim::SetOtherInstanceRunning();
    EXPECT_EQ(0, RunExpectingMessage());
    ExpectOnlyMessage("The program is already running!");
    ASSERT_EQ(1u, sim::ProcessStarts().size());
    EXPECT_TRUE(sim::ProcessStarts()[0].succeeded);
    ExpectNoMainWindow();
    EXPECT_EQ(0, sim::SharedInstanceCount()) << "the count goes back to what the running instance left";
}

TEST_F(StartupTest, FirstStartTakesTheCounterFromMinusOneToZero)
{
    Install();
    LONG seen = -2;
    user.Do("look at the shared counter", [&seen] { seen = sim::SharedInstanceCount(); })
        .RightClickTray()
        .ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());
    EXPECT_EQ(0, seen);
    EXPECT_EQ(-1, sim::SharedInstanceCount()) << "gone with the last process";
}

TEST_F(StartupTest, MainWindowThatCannotBeCreatedEndsTheStart)
{
    Install();
    sim::FailCall("CreateDialogParamA", "103");
    EXPECT_EQ(0, RunExpectingMessage());
    ExpectOnlyMessage("Failed to create the Main Window!\nTerminating.");
    EXPECT_TRUE(sim::TrayIcons().empty());
    EXPECT_EQ(NULL, MainWindow);
}
