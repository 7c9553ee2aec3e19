// Faults the reliability checks (tests/reliability, tests/fuzz) found, each
// kept as the smallest scenario that shows it.
#include "DriveScenario.h"
#include "res/resource.h"

namespace {

using CheckFindings = DriveScenario;

}  // namespace

// The door hot key leaves a showing countdown alone: it can close the door and
// open it again meanwhile. That opening starts the countdown on show afresh,
// paused or not, not a second one over it that the icon's click could no longer cancel.
TEST_F(CheckFindings, AnOpeningWhileTheCountdownShowsStartsItAfresh)
{
    AddDrives("d");
    Store("AutoCloseAllowed", "1");
    Store("AutoCloseTime", "5");
    user.PressKeys(MOD_CONTROL | MOD_ALT, VK_SPACE).WhenDialogShows(IDD_AUTOCLOSE).Wait(2500).PressKey(VK_SPACE);
    user.PressKeys(MOD_CONTROL | MOD_ALT, VK_SPACE).PressKeys(MOD_CONTROL | MOD_ALT, VK_SPACE);
    const Seen& seen = Look();
    user.When("the countdown has closed the door",
              [] { return !sim::TrayOpen('D') && !sim::OpenDialog(IDD_AUTOCLOSE); });
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(std::vector<int>{IDD_AUTOCLOSE}, seen.dialogs);
    EXPECT_EQ("5", seen.countdown);
}

// The program believes it plays until Stop, Pause or a door command of its
// own, and does not close the drive it plays from, which would stop the
// music. A drive whose root lists nothing plays nothing: the lock shuts it
// like any other when the user has opened it by hand.
TEST_F(CheckFindings, TheLockShutsTheDrivePlayingOpenedByHand)
{
    AddDrives("d");
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(3, 0), sim::Frames(4, 0)}));
    Store("Locked", "1");
    Store("Password", "pw");
    user.RightClickTray().ChooseMenuItem(IDM_PLAY).Wait(1000).PressDriveButton('D').Wait(3000);
    const Seen& seen = Look();
    user.RightClickTray().ChooseMenuItem(IDM_EXIT).WhenDialogShows(IDD_PASSWORD_PROMPT).Type("pw").PressKey(VK_RETURN);
    EXPECT_EQ(0, Run());
    EXPECT_EQ("", seen.open);
}
