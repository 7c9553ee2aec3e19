// The auto-close countdown after an opening: running down, pausing, the
// three keys, and the tray click that ends it.
#include "DriveScenario.h"
#include "res/resource.h"
#include "ui/AutoCloseDialog.h"

namespace {

class CountdownTest : public DriveScenario {
protected:
    void SetUp() override
    {
        DriveScenario::SetUp();
        AddDrives("d");
        sim::SetRegText(SETTINGS_PATH, "AutoCloseAllowed", "1");
        sim::SetRegText(SETTINGS_PATH, "AutoCloseTime", "5");
    }

    // The seconds on show, "" without a countdown; appended to `shown`.
    void Read(std::string* shown)
    {
        user.Do("read", [shown] {
            auto countdown = sim::OpenDialog(IDD_AUTOCLOSE);
            *shown += (countdown ? countdown->Control(IDC_COUNTDOWN_SECONDS).text : std::string("-")) + " ";
        });
    }

    void Door(std::string* seen)
    {
        user.Do("look", [seen] { *seen += sim::TrayOpen('D') ? "open " : "shut "; });
    }

    int Finish()
    {
        user.RightClickTray().ChooseMenuItem(IDM_EXIT);
        return Run();
    }
};

}  // namespace

TEST_F(CountdownTest, ItRunsDownAndClosesTheDoor)
{
    std::string shown, door, texts;
    DWORD shownAt = 0, closedAt = 0;
    size_t keysAfter = 0;
    user.LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE).Do("look", [&] {
        shownAt = sim::Now();
        sim::DialogView countdown = *sim::OpenDialog(IDD_AUTOCLOSE);
        texts = countdown.title + "|" + countdown.Control(IDOK).text + "|" + countdown.Control(IDC_COUNTDOWN_PAUSE).text +
                "|" + countdown.Control(IDC_COUNTDOWN_ESC).text;
        EXPECT_TRUE(countdown.topmost);
        EXPECT_TRUE(countdown.foreground);
    });
    for (int i = 0; i < 6; ++i) {
        Read(&shown);
        user.Wait(1000);
    }
    user.When("the door is shut", [] { return !sim::TrayOpen('D'); }).Do("note", [&] {
        closedAt = sim::Now();
        keysAfter = sim::HotKeys().size();
    });
    Door(&door);
    Read(&shown);
    EXPECT_EQ(0, Finish());
    EXPECT_EQ("Auto-closure|Close!|Pause|<Esc>", texts);
    EXPECT_EQ("5 4 3 2 1 0 - ", shown);
    EXPECT_EQ("shut ", door);
    EXPECT_NEAR(6000.0, static_cast<double>(closedAt - shownAt), 1100.0);
    EXPECT_EQ(1u, keysAfter) << "the countdown's keys went with it; the door's own stays";
}

TEST_F(CountdownTest, ATimeBelowZeroHasRunOutAtTheFirstTick)
{
    for (const char* time : {"-1", "-2147483648"}) {
        SCOPED_TRACE(time);
        SetUp();
        sim::SetRegText(SETTINGS_PATH, "AutoCloseTime", time);
        std::string door;
        user.LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE).Wait(1100);
        Door(&door);
        EXPECT_EQ(0, Finish());
        EXPECT_EQ("shut ", door);
    }
}

TEST_F(CountdownTest, PauseHoldsTheCountAndTheKeysPressItsButtons)
{
    std::string shown, door;
    user.LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE).Wait(2100);
    user.PressKey(VK_SPACE);   // pause at 3 (the thread then rests a second)
    Read(&shown);
    user.Wait(3000);
    Read(&shown);
    user.ClickButton(IDC_COUNTDOWN_PAUSE).Wait(1000);
    Read(&shown);
    // Esc ends the countdown and leaves the door open.
    user.PressKey(VK_ESCAPE);
    Read(&shown);
    Door(&door);
    // The next opening: Enter closes at once.
    user.LeftClickTray().LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE).PressKey(VK_RETURN);
    Door(&door);
    Read(&shown);
    // "Close!" while paused closes at once too.
    user.LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE).ClickButton(IDC_COUNTDOWN_PAUSE).ClickButton(IDOK);
    Door(&door);
    EXPECT_EQ(0, Finish());
    EXPECT_EQ("3 3 2 - - ", shown);
    EXPECT_EQ("open shut shut ", door);
}

TEST_F(CountdownTest, ATrayClickEndsTheCountdownAndClosesTheDoor)
{
    std::string door, shown;
    // The menu brought the main window to the front: the countdown is not active.
    user.LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE).RightClickTray().DismissMenu();
    user.LeftClickTray();
    Read(&shown);
    Door(&door);
    EXPECT_EQ(0, Finish());
    EXPECT_EQ("- ", shown);
    EXPECT_EQ("shut ", door);
}

TEST_F(CountdownTest, TheDoorHotKeyLeavesTheCountdownRunning)
{
    sim::SetRegText(SETTINGS_PATH, "AutoCloseTime", "0");
    std::string shown, door;
    int closes = 0;
    user.LeftClickTray().WhenDialogShows(IDD_AUTOCLOSE).PressKeys(MOD_CONTROL | MOD_ALT, VK_SPACE);
    Door(&door);
    user.Wait(1500);
    Read(&shown);
    user.Do("count", [&] {
        for (const sim::MciCall& call : sim::MciLog())
            if (call.command == "set cd4open door closed wait") ++closes;
    });
    EXPECT_EQ(0, Finish());
    EXPECT_EQ("shut ", door);
    EXPECT_EQ("- ", shown);
    EXPECT_EQ(2, closes) << "the hot key closed the door, the countdown closed it once more";
}

TEST_F(CountdownTest, AfterACountdownRanOutTheNextOpeningShowsAnotherOne)
{
    sim::SetRegText(SETTINGS_PATH, "AutoCloseTime", "1");
    sim::SetRegText(SETTINGS_PATH, "Locked", "1");
    sim::SetRegText(SETTINGS_PATH, "Password", "pw");
    std::string door;
    for (int round = 0; round < 2; ++round) {
        user.LeftClickTray().WhenDialogShows(IDD_PASSWORD_PROMPT).Type("pw").PressKey(VK_RETURN);
        user.WhenDialogShows(IDD_AUTOCLOSE);
        Door(&door);
        user.When("the countdown has gone", [] { return !sim::OpenDialog(IDD_AUTOCLOSE).has_value(); });
        Door(&door);
    }
    user.EndTask();
    Run();
    EXPECT_EQ("open shut open shut ", door);
}
