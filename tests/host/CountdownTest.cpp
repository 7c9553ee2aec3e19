// The auto-close countdown after an opening: running down, pausing, the
// three keys, the tray click that ends it, and a close that fails.
#include <algorithm>

#include "DriveScenario.h"
#include "res/resource.h"

namespace {

class CountdownTest : public DriveScenario {
protected:
    void SetUp() override
    {
        DriveScenario::SetUp();
        AddDrives("d");
        Store("AutoCloseAllowed", "1");
        Store("AutoCloseTime", "5");
    }

    // The seconds on show ("-" without a countdown) and the door at each look.
    static std::string Shown(const std::vector<const Seen*>& looks)
    {
        std::string shown;
        for (const Seen* look : looks) shown += look->countdown + (look->open.empty() ? "s " : "o ");
        return shown;
    }
};

// A count at or below 0 has run out: it shows, stays a second and closes the door, which takes its own.
TEST_F(CountdownTest, TheLowestCountHasRunOutAndClosesTheDoorAfterASecond)
{
    Store("AutoCloseTime", "-2147483648");
    DWORD shownAt = 0, closedAt = 0;
    std::string keysWhileShown;
    user.LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE);
    Step([&] {
        shownAt = sim::Now();
        for (const sim::HotKeyView& key : sim::HotKeys())
            keysWhileShown += std::to_string(key.id) + ":" + std::to_string(key.modifiers) + ":" +
                              std::to_string(key.virtualKey) + " ";
        // Its texts and icons are held to the dialogs' shared expectation elsewhere.
        sim::DialogView countdown = *sim::OpenDialog(IDD_AUTOCLOSE);
        EXPECT_TRUE(countdown.topmost && countdown.foreground);
        EXPECT_EQ("main", OwnerOf(countdown.owner));
    });
    const Seen& atShow = Look();
    user.When("the door is shut", [] { return !sim::TrayOpen('D'); });
    Step([&] { closedAt = sim::Now(); });
    const Seen& closed = Look();
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ("-2147483648o -s ", Shown({&atShow, &closed}));
    EXPECT_NEAR(2000, closedAt - shownAt, 100.0);
    EXPECT_EQ("2001:3:32 2002:0:13 2003:0:32 2004:0:27 ", keysWhileShown) << "plain Enter, Space and Esc";
    std::vector<int> pictures = TrayPictures();
    EXPECT_EQ(2, std::count(pictures.begin(), pictures.end(), IDI_DOOR_MOVING)) << "the close is not quiet";
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(CountdownTest, PauseKeysButtonsAClickAndAFailedCloseThenAFullRunDown)
{
    std::vector<const Seen*> shown;
    user.LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE).Wait(2100);
    user.PressKey(VK_SPACE);   // pause at 3 (the thread then rests a second)
    shown.push_back(&Look());
    user.Wait(3000);
    shown.push_back(&Look());
    user.ClickButton(IDC_COUNTDOWN_PAUSE).Wait(1000);
    shown.push_back(&Look());
    // Esc ends the countdown and leaves the door open.
    user.PressKey(VK_ESCAPE);
    shown.push_back(&Look());
    // The next opening: Enter closes at once.
    user.LeftClickTray().LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE).PressKey(VK_RETURN);
    shown.push_back(&Look());
    // "Close!" while paused closes at once too.
    user.LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE).ClickButton(IDC_COUNTDOWN_PAUSE).ClickButton(IDOK);
    shown.push_back(&Look());
    // The menu brought the main window to the front, so the countdown is not
    // active: a tray click ends it and closes the door.
    user.LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE).RightClickTray().DismissMenu();
    user.LeftClickTray();
    shown.push_back(&Look());
    // The door's hot key closes the door, and the countdown closes it once more.
    user.LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE).PressKeys(MOD_CONTROL | MOD_ALT, VK_SPACE);
    shown.push_back(&Look());
    user.Wait(6500);
    shown.push_back(&Look());
    // A close that fails (the count running out presses Close! too) shows its box once, the
    // countdown's keys given back meanwhile; the countdown has gone, and the next opening brings a new
    // one, which counts down from the set time each second and closes the door a second after 0.
    Step([] { sim::FailMci("set cd4open door closed wait", MCIERR_HARDWARE); });
    user.LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE).ClickButton(IDOK).Wait(1000);
    Step([] { EXPECT_EQ(1u, sim::HotKeys().size()) << "its keys are given back while its window waits"; });
    user.AnswerMessageBox(IDOK);
    const Seen& failed = Look();
    shown.push_back(&failed);
    user.LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE);
    for (int second = 5; second >= 0; --second, user.Wait(1000)) shown.push_back(&Look());
    shown.push_back(&Look());
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ("3o 3o 2o -o -s -s -s 4s -s -o 5o 4o 3o 2o 1o 0o -s ", Shown(shown));
    EXPECT_GE(sim::TraceIndex("Sleep 1000"), 0) << "Space rests the thread a second";
    EXPECT_EQ(8, Sent("set cd4open door closed wait"));
    EXPECT_EQ("Eject CD", failed.tip) << "the request is recorded, the door is not";
    EXPECT_EQ(std::vector<std::string>{"MCI device error."}, MessageTexts());
    EXPECT_EQ("main", Joined(BoxOwners()));
}

}  // namespace
