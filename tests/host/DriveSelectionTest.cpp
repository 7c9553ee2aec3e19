// Which drive is selected at start, and choosing another from the menu.
#include "DriveScenario.h"
#include "ProgramImage.h"
#include "res/resource.h"

namespace {

class DriveSelectionTest : public DriveScenario {
protected:
    // The drive item shown checked by the first right click, or -1.
    int CheckedDriveItem()
    {
        if (sim::MenusShown().empty()) return -1;
        const std::vector<sim::MenuItemView>& items = sim::MenusShown().front().items;
        for (size_t i = 0; i < items.size() && items[i].id >= IDM_DRIVE_FIRST; ++i)
            if (items[i].state & MFS_CHECKED) return static_cast<int>(i);
        return -1;
    }

    int StartAndLook()
    {
        user.RightClickTray().ChooseMenuItem(IDM_EXIT);
        EXPECT_EQ(0, Run());
        return CheckedDriveItem();
    }
};

}  // namespace

TEST_F(DriveSelectionTest, TheFirstSelectionComesFromLastDriveThenTheDefaultDrive)
{
    struct Case {
        std::string defaultDrive;   // the bytes of "Default Drive"
        const char* lastDrive;      // LastDrive text, or null when missing
        int selected;
        bool readFails = false;     // reading "Default Drive" fails once
    };
    const std::string one("\x01\x00\x00\x00", 4);
    const Case cases[] = {
        {one, "-1", 1},                                  // the system's default drive
        {one, "0", 0},                                   // the user's own last choice wins
        {one, NULL, 0},                                  // a missing LastDrive reads as 0
        {std::string("\x07\x00\x00\x00", 4), "-1", 0},  // a default drive that is not there: the first
        {one, "5", 0},                                   // a drive removed since
        {one, "-3", 0},                                  // nonsense
        {"\x01", "-1", 1},                               // a short value: byte 0 counts
        {"", "-1", 0},                                   // an empty value names the first drive
        {std::string(300, '\x01'), "-1", 0},             // too long to read: not used
        {one, "-1", 0, true},                            // a failed read: not used
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("LastDrive ") + (c.lastDrive ? c.lastDrive : "missing") + ", default " +
                     std::to_string(c.defaultDrive[0]) + " in " + std::to_string(c.defaultDrive.size()) + " bytes");
        DriveScenario::SetUp();
        AddDrives("de");
        SetDefaultDriveBytes(c.defaultDrive);
        if (c.lastDrive) sim::SetRegText(SETTINGS_PATH, "LastDrive", c.lastDrive);
        if (c.readFails) sim::FailCall("RegQueryValueExA", "Default Drive", ERROR_NOT_ENOUGH_MEMORY);
        EXPECT_EQ(c.selected, StartAndLook());
        EXPECT_TRUE(MessageTexts().empty());
        EXPECT_EQ(c.defaultDrive, DefaultDriveBytes()) << "the system's value is left as it is";
    }
}

TEST_F(DriveSelectionTest, AMissingDefaultDriveIsCreatedAsDriveZero)
{
    AddDrives("de");
    sim::SetRegText(SETTINGS_PATH, "LastDrive", "-1");
    EXPECT_EQ(0, StartAndLook());
    EXPECT_EQ(std::string("\x00\x00\x00\x00", 4), DefaultDriveBytes());
    auto value = sim::GetRegValue(MCI_CDAUDIO_PATH, "Default Drive");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), value->type);
}

TEST_F(DriveSelectionTest, ChoosingADriveMovesTheCheckSavesItAndShowsItsDoor)
{
    AddDrives("def");
    sim::SetRegText(SETTINGS_PATH, "LastDrive", "0");
    std::string tipOnE, tipBackOnD;
    std::vector<sim::MenuItemView> afterChoice;
    // D: is opened, then E: chosen: its door is recorded closed.
    user.LeftClickTray().RightClickTray().ChooseMenuItem(IDM_DRIVE_FIRST + 1).Do("look", [&] { tipOnE = TrayTip(); });
    user.RightClickTray().Do("look at the menu", [&] { afterChoice = *sim::OpenMenu(); }).DismissMenu();
    user.RightClickTray().ChooseMenuItem(IDM_DRIVE_FIRST).Do("look", [&] { tipBackOnD = TrayTip(); });
    user.RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());

    EXPECT_EQ("Eject CD", tipOnE);
    EXPECT_EQ("Close CD", tipBackOnD) << "D:'s door is still recorded open";
    ASSERT_GE(afterChoice.size(), 3u);
    EXPECT_EQ(0u, afterChoice[0].state & MFS_CHECKED);
    EXPECT_EQ(static_cast<UINT>(MFS_CHECKED), afterChoice[1].state & MFS_CHECKED);
    EXPECT_EQ(0u, afterChoice[2].state & MFS_CHECKED);
    auto saved = sim::GetRegValue(SETTINGS_PATH, "LastDrive");
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), saved->type);
    EXPECT_EQ("0", saved->data) << "stored without a terminator";
    EXPECT_TRUE(sim::TrayOpen('D'));
    EXPECT_FALSE(sim::TrayOpen('E')) << "choosing a drive moves no door";
}

TEST_F(DriveSelectionTest, ChoosingTheSelectedDriveDoesNothing)
{
    AddDrives("de");
    sim::SetRegText(SETTINGS_PATH, "LastDrive", "1");
    user.RightClickTray().ChooseMenuItem(IDM_DRIVE_FIRST + 1).RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());
    EXPECT_EQ(-1, sim::TraceIndex("RegSetValueExA HKCU"));
    EXPECT_EQ(-1, sim::TraceIndex("SetMenuItemInfoW 40202"));
}

TEST_F(DriveSelectionTest, TheNextStartSelectsTheChosenDrive)
{
    AddDrives("de");
    user.RightClickTray().ChooseMenuItem(IDM_DRIVE_FIRST + 1).RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());
    EXPECT_EQ("1", sim::GetRegValue(SETTINGS_PATH, "LastDrive")->data);

    RestoreProgramImage();
    size_t shownBefore = sim::MenusShown().size();
    user.RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());
    ASSERT_EQ(shownBefore + 1, sim::MenusShown().size());
    const std::vector<sim::MenuItemView>& items = sim::MenusShown().back().items;
    EXPECT_EQ(0u, items[0].state & MFS_CHECKED);
    EXPECT_EQ(static_cast<UINT>(MFS_CHECKED), items[1].state & MFS_CHECKED);
}
