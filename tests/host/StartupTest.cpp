// Start-up: the install directory, the companion, the single instance and
// the main window, and what the user sees when one of them fails.
#include <string>

#include "Rows.h"
#include "Scenario.h"
#include "app/WinMain.h"
#include "res/resource.h"

namespace {

const char kArguments[] = " 236 \"Dorvane_is1\"";
// The directory, "\Ambergate.exe" and the arguments fill the 259 characters of the command buffer.
const std::string kLongest = "C:\\" + std::string(259 - 14 - (sizeof kArguments - 1) - 3, 'd');

struct InstallDirRow {
    const char* what;
    std::string dir;          // where the program lies
    bool onCommandLine;       // given as the command line; otherwise InstallPath names it
};
const InstallDirRow kInstallDirs[] = {
    {"InstallPath", DEFAULT_INSTALL_DIR, false},
    // Blanks inside and at the end stay; the registry is not read.
    {"the command line", "C:\\My Tools\\Dorvane ", true},
    {"the longest command line", kLongest, true},
};
using StartupInstallDir = Rows<Scenario>;

TEST_P(StartupInstallDir, NamesTheCompanionWhichIsStartedAndLeftAlone)
{
    const InstallDirRow& c = kInstallDirs[GetParam()];
    Install(c.dir, !c.onCommandLine);
    sim::AddCdDrive('D');
    sim::AddFile("C:\\Program.exe");   // what an unnamed program file with blanks would start
    Step([] { EXPECT_EQ(0, sim::SharedInstanceCount()) << "the first instance takes the shared count from -1 to 0"; });
    user.RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run(c.onCommandLine ? c.dir : "")) << "the quit request's code 1 is not the result";
    EXPECT_EQ(c.dir, InstallDir);
    ASSERT_EQ(1u, sim::ProcessStarts().size());
    const sim::ProcessStart& start = sim::ProcessStarts()[0];
    // The program file is named, so that the blanks of "Program Files" cannot send the system to C:\Program.exe.
    EXPECT_EQ(c.dir + "\\Ambergate.exe", start.applicationName);
    EXPECT_EQ(c.dir + "\\Ambergate.exe" + kArguments, start.commandLine);
    EXPECT_FALSE(start.inheritHandles || start.environmentGiven || start.directoryGiven || start.securityGiven);
    EXPECT_EQ(0u, start.creationFlags);
    // All zero but its size, the show flag and the show command.
    STARTUPINFOA expected = {};
    expected.cb = sizeof(STARTUPINFOA);
    expected.dwFlags = STARTF_USESHOWWINDOW;
    expected.wShowWindow = SW_SHOWDEFAULT;
    EXPECT_EQ(0, memcmp(&expected, &start.startup, sizeof expected));
}
ROWS(StartupInstallDir, kInstallDirs);

const char* const kNoDir = "Failed to read information.";
const char* const kNoCompanion = "File \"Ambergate.exe\" not found!\n\nTerminating.";
struct FailedStartRow {
    const char* what;
    std::function<void()> prepare;
    std::string commandLine;
    const char* message;
    size_t companions;      // companion starts tried
    bool window;            // the main window was asked for
};
const FailedStartRow kFailedStarts[] = {
    {"no InstallPath value", [] {}, "", kNoDir, 0, false},
    // No companion there: the quotes reach its command line, where they name no program.
    {"a quoted directory", [] {}, "\"C:\\Program Files\\Dorvane\"", kNoCompanion, 1, false},
    {"a command line one longer than the buffer", [] {}, kLongest + "d", kNoCompanion, 0, false},
    {"another instance", [] { sim::SetOtherInstanceRunning(); }, DEFAULT_INSTALL_DIR,
     "The program is already running!", 1, false},
    {"no main window", [] { sim::FailCall("CreateDialogParamA", "103"); }, DEFAULT_INSTALL_DIR,
     "Failed to create the Main Window!\nTerminating.", 1, true},
};
using StartupFailed = Rows<Scenario>;

TEST_P(StartupFailed, SaysWhyInEnglishAndEnds)
{
    const FailedStartRow& c = kFailedStarts[GetParam()];
    Install(DEFAULT_INSTALL_DIR, false);
    Store("Language", "0");
    c.prepare();
    const std::string registry = sim::DumpRegistry();
    user.AnswerMessageBox(IDOK);
    EXPECT_EQ(0, Run(c.commandLine));
    EXPECT_EQ(registry, sim::DumpRegistry()) << "a start that fails writes nothing";
    ASSERT_EQ(1u, sim::MessageBoxes().size());
    const sim::MessageBoxRecord& box = sim::MessageBoxes().at(0);
    EXPECT_EQ(c.message, box.text);
    EXPECT_EQ(NULL, box.owner);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_SETFOREGROUND), box.type);
    EXPECT_EQ(c.companions, sim::ProcessStarts().size());
    EXPECT_EQ(c.window, sim::TraceIndex("CreateDialogParamA") >= 0);
    EXPECT_EQ('\0', InstallDir[sizeof InstallDir - 1]);
    EXPECT_EQ(std::string(c.what) == "another instance" ? 0 : -1, sim::SharedInstanceCount())
        << "the count goes back to what the running instance left, and is not touched before the companion";
    EXPECT_EQ(0, sim::OpenRegistryHandles());
}
ROWS(StartupFailed, kFailedStarts);

}  // namespace
