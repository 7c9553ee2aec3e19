// Which drive is selected at start, and choosing another from the menu.
#include "DriveScenario.h"
#include "Rows.h"
#include "res/resource.h"

namespace {

using DriveSelectionTest = DriveScenario;

const std::string kOne("\1\0\0\0", 4), kZero(4, '\0');
// A standard user reads "Default Drive"; the program, run elevated, makes it when it is missing.
struct FirstRow {
    const char* what;
    std::string defaultDrive;   // the bytes of "Default Drive", "(none)" when missing
    const char* lastDrive;      // LastDrive text, or null when missing
    const char* selected;
    std::string after = "";     // "Default Drive" afterwards, when not as it was
    const char* fault = nullptr;
    const char* message = nullptr;
    bool elevated = false;
    DWORD error = ERROR_NOT_ENOUGH_MEMORY;
};
const FirstRow kFirsts[] = {
    {"the system's default drive", kOne, "-1", "E"},
    {"a missing LastDrive reads as 0, the user's own choice, which wins", kOne, NULL, "D"},
    {"a default drive that is not there: the first", std::string("\2\0\0\0", 4), "-1", "D"},
    {"a drive removed since", kOne, "2", "D"},
    {"nonsense", kOne, "-3", "D"},
    {"a short value: byte 0 counts", "\1", "-1", "E"},
    {"as long as can be read", std::string(200, '\1'), "-1", "E"},
    {"too long to read: not used, not replaced", std::string(300, '\1'), "-1", "D"},
    {"a failed read: not used, not replaced", kOne, "-1", "D", "", "RegQueryValueExA"},
    {"missing: left alone, without a word", "(none)", "-1", "D"},
    {"missing, elevated: made as drive 0", "(none)", "-1", "D", kZero, nullptr, nullptr, true},
    {"made, but the write fails", "(none)", "-1", "D", "(none)", "RegSetValueExA", "Failed to write information.", true},
    {"made, but the write is refused", "(none)", "-1", "D", "(none)", "RegSetValueExA", nullptr, true,
     ERROR_ACCESS_DENIED},
    {"made, but the key cannot be", "(none)", "-1", "D", "(none)", "RegCreateKeyExA", "Failed to read information.", true},
};
using DriveSelectionFirst = Rows<DriveSelectionTest>;

TEST_P(DriveSelectionFirst, ComesFromLastDriveThenTheDefaultDrive)
{
    const FirstRow& c = kFirsts[GetParam()];
    sim::RunElevated(c.elevated);
    AddDrives("de");
    if (c.defaultDrive != "(none)") SetDefaultDriveBytes(c.defaultDrive);
    if (c.lastDrive) Store("LastDrive", c.lastDrive);
    if (c.fault) sim::FailCall(c.fault, c.fault[3] == 'C' ? MCI_CDAUDIO_PATH : "Default Drive", c.error);
    EXPECT_EQ(0, RunToExit());
    // The checked drive items of the first menu shown, as their letters.
    std::string checked;
    for (const sim::MenuItemView& item : sim::MenusShown().at(0).items)
        if (item.id >= IDM_DRIVE_FIRST && (item.state & MFS_CHECKED)) checked += item.text.substr(2, 1);
    EXPECT_EQ(c.selected, checked);
    EXPECT_EQ(c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{}, MessageTexts());
    EXPECT_EQ(c.message ? "none" : "", Joined(BoxOwners())) << "the start's box has no owner yet";
    EXPECT_EQ(c.after.empty() ? c.defaultDrive : c.after, DefaultDriveBytes());
    if (c.after == kZero) {
        EXPECT_EQ(static_cast<DWORD>(REG_BINARY), sim::GetRegValue(MCI_CDAUDIO_PATH, "Default Drive")->type);
    }
}
ROWS(DriveSelectionFirst, kFirsts);

TEST_F(DriveSelectionTest, ChoosingADriveMovesTheCheckSavesItAndShowsItsDoor)
{
    // A CD drive at every letter but C:.
    AddDrives("abdefghijklmnopqrstuvwxyz");
    sim::InsertDisc('B', sim::DataDisc("B", {{"b.txt", "b"}}));
    Store("LastDrive", "0");
    // A: is opened; choosing it again does nothing; B: is chosen, then A: again, then Z:, which is opened.
    user.LeftClickTray();
    size_t mark = 0, touched = 0;
    Step([&] { mark = sim::Trace().size(); });
    Choose(IDM_DRIVE_FIRST);
    Step([&] {
        for (size_t i = mark; i < sim::Trace().size(); ++i)
            touched += sim::Trace()[i].rfind("SetMenuItemInfoW", 0) == 0 || sim::Trace()[i].rfind("RegSetValue", 0) == 0;
    });
    Choose(IDM_DRIVE_FIRST + 1);
    const Seen& onB = Look();
    std::string saved;
    Step([&] { saved = Saved("LastDrive"); });
    std::vector<sim::MenuItemView> menu;
    user.RightClickTray();
    Step([&] { menu = *sim::OpenMenu(); });
    user.DismissMenu();
    Choose(IDM_DRIVE_FIRST);
    const Seen& backOnA = Look();
    Choose(IDM_DRIVE_FIRST + 24);
    user.LeftClickTray();
    const Seen& onZ = Look();
    EXPECT_EQ(0, RunToExit());

    EXPECT_EQ(0u, touched) << "choosing the selected drive touches nothing";
    EXPECT_EQ("1", saved) << "stored without a terminator";
    EXPECT_EQ("Eject CD", onB.tip) << "B:'s door is recorded closed";
    EXPECT_EQ("Close CD", backOnA.tip) << "A:'s door is still recorded open";
    EXPECT_EQ(IDI_DORVANE, onB.picture) << "the picture is the chosen drive's at once";
    EXPECT_EQ(IDI_NO_DISC, backOnA.picture);
    ASSERT_GE(menu.size(), 25u);
    std::string checks;
    for (int i = 0; i < 3; ++i) checks += std::to_string(menu[i].state & MFS_CHECKED) + std::to_string(menu[i].type);
    EXPECT_EQ("051285120512", checks) << "the check moved; all stay radio items";
    EXPECT_EQ(" [A:]", menu[0].text);
    EXPECT_EQ(" [Z:]", menu[24].text);
    EXPECT_EQ("A", onB.open) << "choosing a drive moves no door";
    EXPECT_EQ("AZ", onZ.open);
    EXPECT_EQ("24", Saved("LastDrive"));
}

}  // namespace
