// Faults the reliability checks (tests/reliability, tests/fuzz) found, each
// kept as the smallest scenario that shows it.
#include "DriveScenario.h"
#include "res/resource.h"

namespace {

using CheckFindings = DriveScenario;

}  // namespace

// The door hot key leaves a showing countdown alone: it can close the door and
// open it again meanwhile. That opening starts the countdown on show afresh,
// not a second one over it that the icon's click could no longer cancel.
TEST_F(CheckFindings, AnOpeningWhileTheCountdownShowsStartsItAfresh)
{
    AddDrives("d");
    sim::SetRegText(SETTINGS_PATH, "AutoCloseAllowed", "1");
    sim::SetRegText(SETTINGS_PATH, "AutoCloseTime", "5");
    sim::SetRegText(SETTINGS_PATH, "HotKey", "1568");
    int countdowns = 0;
    std::string shown;
    user.PressKeys(MOD_CONTROL | MOD_ALT, VK_SPACE).WhenDialogShows(IDD_AUTOCLOSE).Wait(2500);
    user.PressKeys(MOD_CONTROL | MOD_ALT, VK_SPACE).PressKeys(MOD_CONTROL | MOD_ALT, VK_SPACE);
    user.Do("look", [&] {
        for (const sim::DialogView& dialog : sim::OpenDialogs())
            countdowns += dialog.visible && dialog.templateId == IDD_AUTOCLOSE;
        shown = sim::OpenDialog(IDD_AUTOCLOSE)->Control(IDC_COUNTDOWN_SECONDS).text;
    });
    user.When("the countdown has closed the door",
              [] { return !sim::TrayOpen('D') && !sim::OpenDialog(IDD_AUTOCLOSE); });
    user.RightClickTray().ChooseMenuItem(IDM_EXIT);
    EXPECT_EQ(0, Run());
    EXPECT_EQ(1, countdowns);
    EXPECT_EQ("5", shown);
}

// The program believes it plays until Stop, Pause or a door command of its
// own, and does not close the drive it plays from, which would stop the
// music. A drive whose root lists nothing plays nothing: the lock shuts it
// like any other when the user has opened it by hand.
TEST_F(CheckFindings, TheLockShutsTheDrivePlayingOpenedByHand)
{
    AddDrives("d");
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(3, 0), sim::Frames(4, 0)}));
    sim::SetRegText(SETTINGS_PATH, "Locked", "1");
    sim::SetRegText(SETTINGS_PATH, "Password", "pw");
    bool openAfterwards = true;
    user.RightClickTray().ChooseMenuItem(IDM_PLAY).Wait(1000).PressDriveButton('D').Wait(3000);
    user.Do("look", [&] { openAfterwards = sim::TrayOpen('D'); });
    user.RightClickTray().ChooseMenuItem(IDM_EXIT).WhenDialogShows(IDD_PASSWORD_PROMPT).Type("pw").PressKey(VK_RETURN);
    EXPECT_EQ(0, Run());
    EXPECT_FALSE(openAfterwards);
}
