// Opening and closing doors: the tray click, the hot key and the menu, with
// one and several drives; the MCI default drive aimed and put back; the
// picture and the tooltip; failures at each step; the lock.
#include "DriveScenario.h"
#include "res/resource.h"

namespace {

const std::vector<std::string> kOpenDoor = {"close cdaudio", "open cdaudio alias cd4open shareable",
                                            "set cd4open door open wait", "close cd4open"};
const std::vector<std::string> kCloseDoor = {"close cdaudio", "open cdaudio alias cd4open shareable",
                                             "set cd4open door closed wait", "close cd4open"};

class DoorTest : public DriveScenario {
protected:
    // Ends the script: Exit from the menu, every later box answered.
    int RunToExit()
    {
        user.AcceptMessageBoxes().RightClickTray().ChooseMenuItem(IDM_EXIT);
        return Run();
    }

    // A step that records the door, tooltip and commands at this moment.
    struct Seen {
        bool open = false;
        std::string tip;
        std::vector<std::string> mci;
    };
    void Look(Seen* seen, char letter, const Mark* since = NULL)
    {
        user.Do("look at the drive", [seen, letter, since, this] {
            seen->open = sim::TrayOpen(letter);
            seen->tip = TrayTip();
            if (since) seen->mci = MciSince(*since);
        });
    }
};

}  // namespace

TEST_F(DoorTest, ClickHotKeyAndMenuMoveTheOnlyDrive)
{
    AddDrives("d");
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(3, 0)}));
    Mark start;
    Seen afterClick, afterHotKey, afterOpenItem, afterCloseItem;
    user.Do("mark", [&] { start = Now(); }).LeftClickTray();
    Look(&afterClick, 'D', &start);
    user.PressKeys(MOD_CONTROL | MOD_ALT, VK_SPACE);
    Look(&afterHotKey, 'D');
    user.RightClickTray().ChooseMenuItem(IDM_OPEN_DOOR);
    Look(&afterOpenItem, 'D');
    user.RightClickTray().ChooseMenuItem(IDM_CLOSE_DOOR);
    Look(&afterCloseItem, 'D');
    EXPECT_EQ(0, RunToExit());

    EXPECT_TRUE(afterClick.open);
    EXPECT_EQ("Close CD", afterClick.tip) << "the tooltip names the next action";
    EXPECT_EQ(kOpenDoor, afterClick.mci);
    EXPECT_FALSE(afterHotKey.open);
    EXPECT_EQ("Eject CD", afterHotKey.tip);
    EXPECT_TRUE(afterOpenItem.open);
    EXPECT_FALSE(afterCloseItem.open);
    EXPECT_TRUE(MessageTexts().empty());
    // With one drive the MCI default drive is neither read nor written.
    EXPECT_EQ(-1, sim::TraceIndex("RegOpenKeyExA HKLM"));
    EXPECT_EQ("(none)", DefaultDriveBytes());
}

TEST_F(DoorTest, TheHourglassShowsWhileTheDoorMoves)
{
    AddDrives("d");
    sim::SetDoorTime('D', 3000);
    DWORD clickedAt = 0, doneAt = 0;
    user.At(2000).Do("click", [&] { clickedAt = sim::Now(); }).LeftClickTray();
    user.Do("note the time", [&] { doneAt = sim::Now(); });
    EXPECT_EQ(0, RunToExit());
    std::vector<int> pictures = TrayPictures();
    // Start: 151; the first tick finds the empty drive: 190; the door: 158,
    // then back to what the poller had chosen.
    ASSERT_GE(pictures.size(), 4u);
    EXPECT_EQ((std::vector<int>{IDI_DORVANE, IDI_NO_DISC, IDI_DOOR_MOVING, IDI_NO_DISC}),
              std::vector<int>(pictures.begin(), pictures.begin() + 4));
    EXPECT_GE(doneAt - clickedAt, 3000u) << "the program waits for the slow door";
}

// The shell hands clicks over inside the program's own calls to it: a click
// made while the door moves arrives in the middle of the door command. It
// waits until the door has stopped.
TEST_F(DoorTest, AClickWhileTheDoorMovesWaitsUntilItStops)
{
    AddDrives("d");
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(3, 0)}));
    sim::SetRegText(SETTINGS_PATH, "Locked", "1");
    sim::SetRegText(SETTINGS_PATH, "Password", "pw");
    user.LeftClickTray().WhenDialogShows(IDD_PASSWORD_PROMPT).Type("pw").PressKey(VK_RETURN);
    user.When("the door is open", [] { return sim::TrayOpen('D'); });
    Mark start;
    user.Do("slow the door down", [&] {
        sim::SetDoorTime('D', 2000);
        start = Now();
    });
    // The closing needs no password; the click during it is an opening.
    user.LeftClickTray().Wait(1000).LeftClickTray();
    Seen atPrompt;
    user.WhenDialogShows(IDD_PASSWORD_PROMPT);
    Look(&atPrompt, 'D', &start);
    user.Type("pw").PressKey(VK_RETURN).When("the door is open again", [] { return sim::TrayOpen('D'); });
    user.Wait(2000);
    Seen later;
    Look(&later, 'D');
    user.EndTask();
    Run();

    EXPECT_FALSE(atPrompt.open) << "the password was asked before the closing had ended";
    // (The poller's lock sends a close of its own each tick; nothing opens before the password.)
    ASSERT_GE(atPrompt.mci.size(), kCloseDoor.size());
    EXPECT_EQ(kCloseDoor, std::vector<std::string>(atPrompt.mci.begin(), atPrompt.mci.begin() + kCloseDoor.size()))
        << "the click's opening began inside the closing";
    for (const std::string& command : atPrompt.mci) EXPECT_NE("set cd4open door open wait", command);
    EXPECT_EQ("Eject CD", atPrompt.tip);
    EXPECT_TRUE(later.open) << "the opening that waited took place, and the lock leaves it open";
    EXPECT_TRUE(MessageTexts().empty());
}

// A click while the door command's error box shows must not be handed round
// ahead of the user's answer: it waits, and runs once the box is closed.
TEST_F(DoorTest, AClickDuringADoorErrorRunsOnceTheBoxIsAnswered)
{
    AddDrives("d");
    sim::FailMci("set cd4open door open wait", MCIERR_HARDWARE);
    Mark start;
    Seen seen;
    user.Do("mark", [&] { start = Now(); }).LeftClickTray().LeftClickTray().AnswerMessageBox(IDOK);
    Look(&seen, 'D', &start);
    EXPECT_EQ(0, RunToExit());
    std::vector<std::string> expected = kOpenDoor;
    expected.insert(expected.end(), kCloseDoor.begin(), kCloseDoor.end());
    EXPECT_EQ(expected, seen.mci) << "the failed opening, then the click's closing";
    EXPECT_EQ("Eject CD", seen.tip);
    EXPECT_EQ(std::vector<std::string>{"MCI device error."}, MessageTexts());
}

TEST_F(DoorTest, SeveralDrivesAimTheDefaultDriveAndPutItBackByteForByte)
{
    AddDrives("def");
    // An odd value of six bytes naming drive 0; the user chose F: before.
    const std::string original("\x00\x07\x00\x00\x00\x09", 6);
    SetDefaultDriveBytes(original);
    sim::SetRegText(SETTINGS_PATH, "LastDrive", "2");
    std::string duringStart;
    Seen seen;
    user.LeftClickTray();
    Look(&seen, 'F');
    user.Do("look at the value", [&] { duringStart = DefaultDriveBytes(); });
    EXPECT_EQ(0, RunToExit());

    EXPECT_TRUE(seen.open) << "the selected drive F: opened";
    EXPECT_FALSE(sim::TrayOpen('D'));
    EXPECT_EQ(original, duringStart);
    EXPECT_EQ(original, DefaultDriveBytes());
    EXPECT_GE(sim::TraceIndex("RegSetValueExA HKLM\\System\\CurrentControlSet\\Control\\MediaResources\\mci\\cdaudio "
                              "Default Drive"),
              0);
}

TEST_F(DoorTest, AnEmptyDefaultDriveNamesDriveZeroAndIsPutBackEmpty)
{
    AddDrives("de");
    SetDefaultDrive(0);
    sim::SetRegText(SETTINGS_PATH, "LastDrive", "1");
    user.Do("another program empties the value", [] { SetDefaultDriveBytes(""); }).LeftClickTray();
    EXPECT_EQ(0, RunToExit());
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_TRUE(sim::TrayOpen('E')) << "aimed at the selected drive";
    EXPECT_FALSE(sim::TrayOpen('D'));
    EXPECT_EQ("", DefaultDriveBytes());
}

TEST_F(DoorTest, TheDefaultDriveItselfIsReadButNotWritten)
{
    AddDrives("de");
    SetDefaultDrive(1);
    sim::SetRegText(SETTINGS_PATH, "LastDrive", "-1");
    user.LeftClickTray();
    EXPECT_EQ(0, RunToExit());
    EXPECT_TRUE(sim::TrayOpen('E'));
    EXPECT_EQ(-1, sim::TraceIndex("RegSetValueExA HKLM"));
    EXPECT_EQ(std::string("\x01\x00\x00\x00", 4), DefaultDriveBytes());
}

TEST_F(DoorTest, EachFailingStepShowsItsMessageAndLeavesTheRegistryAsItWas)
{
    struct Case {
        const char* what;
        std::function<void()> fault;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"the door command", [] { sim::FailMci("set cd4open door open wait", MCIERR_HARDWARE); }, {"MCI device error."}},
        {"reading Default Drive", [] { sim::FailCall("RegQueryValueExA", "Default Drive"); },
         {"Failed to read information."}},
        {"aiming Default Drive", [] { sim::FailCall("RegSetValueExA", "Default Drive"); },
         {"Failed to write information."}},
        {"opening the alias", [] { sim::FailMci("open cdaudio alias cd4open shareable", MCIERR_DEVICE_OPEN); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DriveScenario::SetUp();
        AddDrives("de");
        SetDefaultDrive(0);
        sim::SetRegText(SETTINGS_PATH, "LastDrive", "1");
        Seen seen;
        user.AcceptMessageBoxes().Do("break it", c.fault).LeftClickTray();
        Look(&seen, 'E');
        EXPECT_EQ(0, RunToExit());
        EXPECT_EQ(c.messages, MessageTexts());
        EXPECT_EQ(0, sim::OpenRegistryHandles()) << "every key door control opened is closed";
        EXPECT_EQ(std::string("\x00\x00\x00\x00", 4), DefaultDriveBytes()) << "Default Drive is as it was";
        EXPECT_FALSE(sim::TrayOpen('D')) << "the other drive never moves";
        // A failed door command still records the request: the tooltip offers the close.
        EXPECT_EQ(c.messages == std::vector<std::string>{"MCI device error."} ? "Close CD" : "Eject CD", seen.tip);
    }
}

TEST_F(DoorTest, AFailedPutBackOfTheDefaultDriveEndsTheDoorCommand)
{
    AddDrives("de");
    SetDefaultDrive(0);
    sim::SetRegText(SETTINGS_PATH, "LastDrive", "1");
    sim::SetRegText(SETTINGS_PATH, "AutoCloseAllowed", "1");
    sim::FailMci("set cd4open door open wait", MCIERR_HARDWARE);
    Mark start;
    Seen seen;
    bool countdown = true;
    user.Do("mark", [&] { start = Now(); }).LeftClickTray();
    // While the door's error shows, the put-back is made to fail.
    user.Do("break the put-back", [] { sim::FailCall("RegSetValueExA", "Default Drive"); });
    user.AnswerMessageBox(IDOK).AnswerMessageBox(IDOK);
    Look(&seen, 'E', &start);
    user.Do("look", [&] { countdown = sim::OpenDialog(IDD_AUTOCLOSE).has_value(); });
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ((std::vector<std::string>{"MCI device error.", "Failed to write information."}), MessageTexts());
    EXPECT_EQ(kOpenDoor, seen.mci) << "the playback device is not opened on the wrong drive";
    EXPECT_FALSE(countdown);
    EXPECT_EQ(0, sim::OpenRegistryHandles());
}

TEST_F(DoorTest, ClosingThePlayingDriveKeepsTheMusicOpeningItEndsIt)
{
    AddDrives("d");
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(3, 0), sim::Frames(4, 0)}));
    Mark beforeClose;
    std::string stateAfterClose, stateAfterOpen, tipAfterClose;
    // The door is recorded open, but the user pushed the tray in by hand and plays the disc.
    user.LeftClickTray().PushTrayIn('D').RightClickTray().ChooseMenuItem(IDM_PLAY);
    user.Do("mark", [&] { beforeClose = Now(); }).LeftClickTray().Do("listen", [&] {
        stateAfterClose = sim::DrivePlayState('D');
        tipAfterClose = TrayTip();
    });
    user.LeftClickTray().Do("listen", [&] { stateAfterOpen = sim::DrivePlayState('D'); });
    // Play again after the door came back: the device is opened afresh.
    std::string stateAtLast;
    user.LeftClickTray().RightClickTray().ChooseMenuItem(IDM_PLAY).Do("listen", [&] {
        stateAtLast = sim::DrivePlayState('D');
    });
    EXPECT_EQ(0, RunToExit());

    std::vector<std::string> close = MciSince(beforeClose);
    close.resize(4);
    EXPECT_EQ((std::vector<std::string>{"close cdaudio", "open cdaudio alias cd4open shareable", "close cd4open",
                                        "open cdaudio"}),
              close)
        << "no door command while the drive plays; its device is held again";
    EXPECT_EQ("playing", stateAfterClose);
    EXPECT_EQ("Eject CD", tipAfterClose);
    EXPECT_EQ("stopped", stateAfterOpen);
    EXPECT_EQ("playing", stateAtLast) << "Play after the door movement starts afresh";
    EXPECT_EQ("stopped", sim::DrivePlayState('D')) << "Exit stops the program's own playback";
}

TEST_F(DoorTest, AFailedAliasOpenLeavesThePlaybackDeviceReleased)
{
    AddDrives("d");
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(3, 0), sim::Frames(4, 0)}));
    Mark beforePlay;
    user.RightClickTray().ChooseMenuItem(IDM_PLAY);
    user.Do("break the alias", [] { sim::FailMci("open cdaudio alias cd4open shareable", MCIERR_DEVICE_OPEN); });
    user.LeftClickTray().Do("mark", [&] { beforePlay = Now(); }).RightClickTray().ChooseMenuItem(IDM_STOP);
    user.RightClickTray().ChooseMenuItem(IDM_PLAY);
    EXPECT_EQ(0, RunToExit());
    std::vector<std::string> sent = MciSince(beforePlay);
    // Stop, then Play opens the device again: the program knows it let it go.
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ("stop cdaudio", sent[0]);
    EXPECT_EQ("open cdaudio shareable", sent[1]);
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(DoorTest, AnAliasLeftOpenByAFailedCloseDoesNotStopLaterCommands)
{
    AddDrives("d");
    sim::FailMci("close cd4open", MCIERR_HARDWARE);
    std::string seen;
    for (int i = 0; i < 3; ++i)
        user.LeftClickTray().Do("look", [&seen] { seen += sim::TrayOpen('D') ? "open " : "shut "; });
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ("open shut open ", seen);
    EXPECT_TRUE(MessageTexts().empty());
}

TEST_F(DoorTest, ALockedDoorOpenedByHandIsShutByTheNextTick)
{
    AddDrives("d");
    sim::SetRegText(SETTINGS_PATH, "Locked", "1");
    bool openAfterButton = false, openLater = false, openWithMenu = false;
    user.At(1200).PressDriveButton('D').Do("look", [&] { openAfterButton = sim::TrayOpen('D'); });
    user.Wait(600).Do("look", [&] { openLater = sim::TrayOpen('D'); });
    user.RightClickTray().PressDriveButton('D').Wait(600).Do("look", [&] { openWithMenu = sim::TrayOpen('D'); });
    user.DismissMenu();
    // A left click asks for the password first: while the prompt waits, the door stays shut.
    user.LeftClickTray().Do("look", [&] { openAfterButton = openAfterButton && !sim::TrayOpen('D'); });
    // Exit asks for the password too: the user ends the program from outside.
    user.EndTask();
    Run();
    EXPECT_TRUE(openAfterButton);
    EXPECT_FALSE(openLater);
    EXPECT_FALSE(openWithMenu) << "the lock works with the menu open too";
    EXPECT_EQ(-1, sim::TraceIndex("mciSendStringA \"set cd4open door open wait\""));
}

TEST_F(DoorTest, TheLockShowsOneFailureBoxAtATime)
{
    AddDrives("d");
    sim::SetRegText(SETTINGS_PATH, "Locked", "1");
    sim::FailMci("set cd4open door closed wait", MCIERR_HARDWARE, 12);
    size_t shownWhileOpen = 0;
    user.Wait(5000).Do("count the boxes", [&] { shownWhileOpen = sim::MessageBoxes().size(); }).EndTask();
    Run();
    EXPECT_EQ(1u, shownWhileOpen) << "ten ticks went by behind one open box";
}
