// What the poller shows: the tray picture following the disc, and the open
// menu brought up to date twice a second.
#include "DriveScenario.h"
#include "res/resource.h"

namespace {

using sim::MenuItemView;

class PollerTest : public DriveScenario {
protected:
    // What the open menu showed after the poller's first look at it.
    struct MenuLook {
        std::string summary, driveItem;
        UINT audio = 0, explore = 0, open = 0, autoplay = 0, player = 0;
    };

    // Opens the menu, lets one tick update it, notes what it shows, closes it.
    void LookAtMenu(MenuLook* look)
    {
        user.RightClickTray().Wait(600).Do("look at the menu", [this, look] {
            std::vector<MenuItemView> items = *sim::OpenMenu();
            look->driveItem = items[0].text;
            const MenuItemView& audio = items[AudioPosition()];
            look->audio = audio.state;
            look->summary = audio.popup.at(0).text;
            look->explore = sim::FindMenuItem(items, IDM_EXPLORE)->state;
            look->open = sim::FindMenuItem(items, IDM_OPEN_FOLDER)->state;
            look->autoplay = sim::FindMenuItem(items, IDM_AUTOPLAY)->state;
            look->player = sim::FindMenuItem(items, IDM_CD_PLAYER)->state;
        });
        user.DismissMenu();
    }

    int AudioPosition() const { return drives_ + 9; }

    void OneDrive()
    {
        AddDrives("d");
        drives_ = 1;
    }

    int RunToExit()
    {
        user.RightClickTray().ChooseMenuItem(IDM_EXIT);
        return Run();
    }

    int drives_ = 0;
};

const UINT kUsable = MFS_CHECKED;
const UINT kGreyed = MFS_CHECKED | MFS_GRAYED;

}  // namespace

TEST_F(PollerTest, TheOpenMenuShowsTheFourSituations)
{
    struct Case {
        const char* what;
        std::optional<sim::Disc> disc;
        std::string summary, label;
        UINT audio, folders, autoplay;
    };
    const Case cases[] = {
        {"no disc", std::nullopt, " NO DISC LOADED ", " [D:] ", kGreyed, kGreyed, kGreyed},
        {"a data disc", sim::DataDisc("BACKUP"), " DATA OR NO DISC LOADED ", " [D:] BACKUP", kGreyed, kUsable,
         kGreyed},
        {"an audio disc", sim::AudioDisc({sim::Frames(20, 10, 5), sim::Frames(27, 3, 0)}),
         " Total: 47 m 13 s     ", " [D:] Audio CD", kUsable, kUsable, kGreyed},
        {"a disc that starts a program", sim::DataDisc("SETUP", {{"autorun.inf", "[autorun]\r\nopen=setup.exe\r\n"}}),
         " DATA OR NO DISC LOADED ", " [D:] SETUP", kGreyed, kUsable, kUsable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DriveScenario::SetUp();
        OneDrive();
        if (c.disc) sim::InsertDisc('D', *c.disc);
        MenuLook look;
        LookAtMenu(&look);
        EXPECT_EQ(0, RunToExit());
        EXPECT_EQ(c.summary, look.summary);
        EXPECT_EQ(c.label, look.driveItem);
        EXPECT_EQ(c.audio, look.audio);
        EXPECT_EQ(c.folders, look.explore);
        EXPECT_EQ(c.folders, look.open);
        EXPECT_EQ(c.autoplay, look.autoplay);
        EXPECT_TRUE(MessageTexts().empty()) << "probing an empty drive raises no system box";
    }
}

TEST_F(PollerTest, TheMenuFollowsADiscInsertedWhileItIsOpen)
{
    OneDrive();
    user.RightClickTray().WhenMenuShows("no disc", [](const std::vector<MenuItemView>& items) {
        return sim::FindMenuItem(items, IDM_DISC_SUMMARY)->text == " NO DISC LOADED ";
    });
    user.PressDriveButton('D').InsertDisc('D', sim::AudioDisc({sim::Frames(3, 5), sim::Frames(4, 0)}));
    user.PushTrayIn('D');
    user.WhenMenuShows("the disc's length", [](const std::vector<MenuItemView>& items) {
        return sim::FindMenuItem(items, IDM_DISC_SUMMARY)->text == " Total: 07 m 04 s     " &&
               items[10].state == kUsable;
    });
    user.DismissMenu();
    EXPECT_EQ(0, RunToExit());
}

TEST_F(PollerTest, TheTrayPictureChangesOnlyWhenTheDiscDoes)
{
    OneDrive();
    sim::InsertDisc('D', sim::DataDisc("DATA", {{"readme.txt", "hello"}}));
    user.Wait(3000).PressDriveButton('D').Wait(3000).PushTrayIn('D').Wait(3000);
    EXPECT_EQ(0, RunToExit());
    // 151 at start; the open tray empties the root; the closed one fills it again.
    EXPECT_EQ((std::vector<int>{IDI_DORVANE, IDI_NO_DISC, IDI_DORVANE}), TrayPictures());
    EXPECT_GE(sim::TimerFirings(1001), 17);
}

TEST_F(PollerTest, AStateThatHoldsIsNotWrittenAgain)
{
    // Every write of an item's state takes the highlight off the item under
    // the mouse, and on an open pop-up Wine's menu loop loses track of it.
    OneDrive();
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(3, 0), sim::Frames(3, 0)}));
    size_t traceAtOpen = 0, writes = 0;
    user.RightClickTray().Do("mark", [&] { traceAtOpen = sim::Trace().size(); }).Wait(5000).Do("count", [&] {
        for (size_t i = traceAtOpen; i < sim::Trace().size(); ++i) {
            const std::string& line = sim::Trace()[i];
            if (line == "SetMenuItemInfoW 40001" || line == "SetMenuItemInfoW 10 by position" ||
                line == "SetMenuItemInfoW 0 by position")
                ++writes;
        }
    });
    user.DismissMenu();
    EXPECT_EQ(0, RunToExit());
    // Ten ticks: the drive item's label is written each time; Explore and the
    // audio pop-up are usable from the start and never rewritten.
    EXPECT_EQ(10u, writes);
}

TEST_F(PollerTest, NothingIsAskedWhileTheMenuIsClosed)
{
    OneDrive();
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(3, 0), sim::Frames(3, 0)}));
    Mark start;
    std::vector<std::string> whileClosed;
    size_t traceAtStart = 0, menuCalls = 0;
    user.Do("mark", [&] {
        start = Now();
        traceAtStart = sim::Trace().size();
    });
    user.Wait(5000).Do("look", [&] {
        whileClosed = MciSince(start);
        for (size_t i = traceAtStart; i < sim::Trace().size(); ++i)
            if (sim::Trace()[i].find("MenuItem") != std::string::npos) ++menuCalls;
    });
    EXPECT_EQ(0, RunToExit());
    EXPECT_TRUE(whileClosed.empty());
    EXPECT_EQ(0u, menuCalls) << "no item is read or changed while the menu is closed";
}

TEST_F(PollerTest, AutorunCountsInAnyCaseWithinItsFirst4096Bytes)
{
    struct Case {
        const char* what;
        std::string text;
        UINT autoplay;
    };
    const Case cases[] = {
        {"lower case", "[autorun]\nopen=go.exe\n", kUsable},
        {"within the limit", std::string(4092, ' ') + "OPEN", kUsable},
        {"past the limit", std::string(4093, ' ') + "OPEN", kGreyed},
        {"no open key", "[autorun]\nicon=disc.ico\n", kGreyed},
        {"after a NUL", std::string("[autorun]\0open=x.exe", 20), kUsable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DriveScenario::SetUp();
        OneDrive();
        sim::InsertDisc('D', sim::DataDisc("DISC", {{"AUTORUN.INF", c.text}}));
        MenuLook look;
        LookAtMenu(&look);
        EXPECT_EQ(0, RunToExit());
        EXPECT_EQ(c.autoplay, look.autoplay);
        EXPECT_EQ(0, sim::OpenKernelHandles()) << "the file is closed again";
    }
}

TEST_F(PollerTest, ThePlayerItemIsUsableOnlyWhenItsNameIsFoundInTheSearchOrder)
{
    // Where the system's media player is: nowhere, registered with the shell
    // (as on a current Windows), or along the search order.
    enum MediaPlayer { NONE, REGISTERED, ON_PATH };
    struct Case {
        const char* player;
        MediaPlayer mediaPlayer;
        UINT state;
    };
    const Case cases[] = {
        {"C:\\Windows\\System32\\cdplay.exe", NONE, kUsable},
        {"D:\\Elsewhere\\cdplay.exe", NONE, kUsable},   // only the name counts
        {"C:\\Tools\\tunes.exe", REGISTERED, kGreyed},  // outside the search order
        {"C:\\Tools\\", NONE, kGreyed},                 // a folder names no program
        {"", NONE, kGreyed},                             // nothing to start
        {"", REGISTERED, kUsable},                       // the system's media player stands in
        {"", ON_PATH, kUsable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.player) + ", media player " + std::to_string(c.mediaPlayer));
        DriveScenario::SetUp();
        sim::AddFile("C:\\Windows\\System32\\cdplay.exe");
        sim::AddFile("C:\\Tools\\tunes.exe");
        const std::string mediaPlayer = c.mediaPlayer == ON_PATH ? "C:\\Windows\\wmplayer.exe"
                                                                 : "C:\\Program Files\\Windows Media Player\\wmplayer.exe";
        if (c.mediaPlayer != NONE) sim::AddFile(mediaPlayer);
        if (c.mediaPlayer == REGISTERED)
            sim::SetRegText("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\wmplayer.exe", "", mediaPlayer);
        OneDrive();
        sim::SetRegText(SETTINGS_PATH, "Player", c.player);
        MenuLook look;
        LookAtMenu(&look);
        EXPECT_EQ(0, RunToExit());
        EXPECT_EQ(c.state, look.player);
    }
}

TEST_F(PollerTest, DriveLabelsKeepTheSelectedDriveChecked)
{
    AddDrives("de");
    drives_ = 2;
    sim::SetRegText(SETTINGS_PATH, "LastDrive", "1");
    sim::InsertDisc('D', sim::DataDisc("PHOTOS"));
    std::vector<MenuItemView> items;
    user.RightClickTray().Wait(600).Do("look", [&] { items = *sim::OpenMenu(); }).DismissMenu();
    EXPECT_EQ(0, RunToExit());
    ASSERT_GE(items.size(), 2u);
    EXPECT_EQ(" [D:] PHOTOS", items[0].text);
    EXPECT_EQ(0u, items[0].state);
    EXPECT_EQ(" [E:] ", items[1].text);
    EXPECT_EQ(static_cast<UINT>(MFS_CHECKED), items[1].state);
    EXPECT_EQ(static_cast<UINT>(MFT_RADIOCHECK), items[1].type) << "the drive items stay radio items";
    // E: is empty: the disc items are greyed although D: holds a disc.
    EXPECT_EQ(kGreyed, sim::FindMenuItem(items, IDM_EXPLORE)->state);
}

TEST_F(PollerTest, MciCommandsPerTick)
{
    // Not a check of the exact commands (the other tests do that through what
    // the menu shows): the number per tick, reported for the record.
    struct Case {
        const char* what;
        std::optional<sim::Disc> disc;
        bool play;
        size_t most;
    };
    const Case cases[] = {
        {"menu open, no disc", std::nullopt, false, 6},
        {"menu open, data disc", sim::DataDisc("DATA"), false, 8},
        {"menu open, audio disc", sim::AudioDisc({sim::Frames(3, 0), sim::Frames(4, 0)}), false, 8},
        {"menu open, playing", sim::AudioDisc({sim::Frames(3, 0), sim::Frames(4, 0)}), true, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DriveScenario::SetUp();
        OneDrive();
        if (c.disc) sim::InsertDisc('D', *c.disc);
        if (c.play) user.RightClickTray().ChooseMenuItem(IDM_PLAY);
        Mark mark;
        size_t sent = 0;
        int ticks = 0;
        user.RightClickTray().Do("mark", [&] {
            mark = Now();
            ticks = sim::TimerFirings(1001);
        });
        user.Wait(5000).Do("count", [&] {
            sent = MciSince(mark).size();
            ticks = sim::TimerFirings(1001) - ticks;
        });
        user.DismissMenu();
        EXPECT_EQ(0, RunToExit());
        ASSERT_GT(ticks, 0);
        size_t perTick = sent / static_cast<size_t>(ticks);
        std::printf("[ measure  ] MCI commands per tick, %s: %zu\n", c.what, perTick);
        EXPECT_LE(perTick, c.most);
        EXPECT_EQ(0u, sent % static_cast<size_t>(ticks)) << "every tick sends the same commands";
    }
}
