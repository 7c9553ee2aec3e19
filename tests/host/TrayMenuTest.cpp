// The tray menu as the user sees it after start: every item's command, text,
// picture and state, with no, one and three drives; the retried writes.
#include <algorithm>
#include <string>
#include <vector>

#include "DriveScenario.h"
#include "Rows.h"
#include "res/resource.h"

namespace {

using TrayMenuTest = DriveScenario;

// The drive items above the menu: one drive is an information line; several are radio items,
// the default drive's checked. Exit's text and the only drive's line are each written up to ten
// times, ten milliseconds apart.
struct StartMenuRow {
    const char* what;
    const char* drives;
    const char* language;
    std::string driveLines;
    const char* below;   // the expectation file of the last menu shown
    int failures = 0;    // of each of the two writes
    UINT chosen = 0;     // a menu command chosen after the start
};
const StartMenuRow kStartMenus[] = {
    {"one drive, written on the tenth try", "d", "1", "0 \" [D:]\" 166 0\n", "menu_english.txt", 9},
    {"three drives", "def", "1", "40201 \" [D:]\" 166 147 state 0 radio\n40202 \" [E:]\" 166 147 radio\n"
                                 "40203 \" [F:]\" 166 147 state 0 radio\n", "menu_english.txt"},
    {"a Russian start", "d", "0", "0 \" [D:]\" 166 0\n", "menu_russian.txt"},
    {"Russian chosen after an English start", "d", "1", "0 \" [D:]\" 166 0\n", "menu_russian.txt", 0, IDM_RUSSIAN},
};
using TrayMenuStart = Rows<TrayMenuTest>;

TEST_P(TrayMenuStart, ShowsTheDrivesAboveTheMenuInTheStoredLanguage)
{
    const StartMenuRow& c = kStartMenus[GetParam()];
    AddDrives(c.drives);
    SetDefaultDrive(1);
    Store("LastDrive", "-1");
    Store("Language", c.language);
    if (c.failures) {
        sim::FailCall("SetMenuItemInfoW", "40002", ERROR_ACCESS_DENIED, c.failures);
        sim::FailCall("InsertMenuItemW", "0", ERROR_ACCESS_DENIED, c.failures);
    }
    if (c.chosen) Choose(c.chosen);
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(c.driveLines + ExpectedText(c.below), MenuLines(sim::MenusShown().back().items));
    EXPECT_EQ(2 * c.failures, std::count(sim::Trace().begin(), sim::Trace().end(), "Sleep 10"));
    EXPECT_EQ(c.drives[1] != '\0', sim::TraceIndex("RegCreateKeyExA HKLM") >= 0)
        << "one drive: the default drive is never looked at";
}
ROWS(TrayMenuStart, kStartMenus);

// After "No" to the question, the menu is shown, and the disc's commands find no disc: not the
// current folder's autorun.inf, not a locked door.
TEST_F(TrayMenuTest, WithoutDrivesTheUserChoosesWhetherToGoOn)
{
    sim::AddFile("C:\\autorun.inf", "[autorun]\r\nopen=setup.exe\r\n");
    sim::AddFile("C:\\setup.exe", "MZ");
    Store("Locked", "1");
    user.AnswerMessageBox(IDNO).AnswerMessageBox(IDOK);
    for (UINT command : {IDM_AUTOPLAY, IDM_EXPLORE, IDM_OPEN_FOLDER}) Choose(command);
    UINT explore = 0;
    user.RightClickTray().Wait(600);
    Step([&] {
        std::vector<sim::MenuItemView> items = *sim::OpenMenu();
        explore = sim::FindMenuItem(items, IDM_EXPLORE)->state;
    });
    user.DismissMenu().LeftClickTray().Wait(1000);
    const Seen& seen = Look();
    user.EndTask();   // Exit would ask for the password
    Run();
    EXPECT_EQ(ExpectedText("menu_english.txt"), MenuLines(sim::MenusShown().at(0).items));
    EXPECT_EQ((std::vector<std::string>{"CD drive information not found.\nTerminate the program?",
                                        "Failed to read information."}),
              MessageTexts());
    EXPECT_TRUE(sim::ShellLaunches().empty());
    EXPECT_TRUE(seen.dialogs.empty()) << "no password for a door that is not there";
    EXPECT_EQ(IDI_NO_DISC, seen.picture) << "nothing to list";
    EXPECT_EQ(static_cast<UINT>(MFS_CHECKED | MFS_GRAYED), explore);
    EXPECT_EQ(0, Sent("open cdaudio alias cd4open shareable"));
}

// After ten failures each is left as it was; the items after them are written all the same.
TEST_F(TrayMenuTest, AnItemIsWrittenAtMostTenTimes)
{
    AddDrives("d");
    sim::FailCall("SetMenuItemInfoW", "40002", ERROR_ACCESS_DENIED, 10);
    sim::FailCall("InsertMenuItemW", "0", ERROR_ACCESS_DENIED, 10);
    EXPECT_EQ(0, RunToExit());
    const std::vector<sim::MenuItemView>& menu = sim::MenusShown().at(0).items;
    EXPECT_EQ(" ", menu.back().text);
    EXPECT_NE(" [D:]", menu.front().text);
    EXPECT_EQ(20, std::count(sim::Trace().begin(), sim::Trace().end(), "Sleep 10"));
    EXPECT_EQ(" A&bout...", menu[menu.size() - 3].text);
}

}  // namespace
