// What the poller shows: the tray picture following the disc, and the open
// menu brought up to date twice a second.
#include <dbt.h>

#include <memory>

#include "DriveScenario.h"
#include "Rows.h"
#include "app/MainWindow.h"
#include "app/WinMain.h"
#include "res/resource.h"

namespace {

using PollerTest = DriveScenario;

// A disc that MCI reads and the file system does not.
sim::Disc Unreadable(sim::Disc disc)
{
    disc.readable = false;
    return disc;
}
// A data disc whose autorun.inf holds `text`: Autoplay counts an OPEN in any
// case within the file's first 4096 bytes.
sim::Disc WithAutorun(const std::string& text)
{
    return sim::DataDisc("DISC", {{"AUTORUN.INF", text}});
}
const std::string kAutorunLook = " [D:] DISC:8/0| DATA OR NO DISC LOADED |11 8 8 ";
const std::string kNoDisc = " [D:] :8/0| NO DISC LOADED |11 11 11 11 ";
// Where the system's media player is: nowhere, registered with the shell
// (as on a current Windows), or along the search order.
enum MediaPlayer { NONE, REGISTERED, ON_PATH, ANOTHER_REGISTERED };
struct MenuRow {
    const char* what;
    std::optional<sim::Disc> disc;
    std::string look;   // the drive items, the summary, the audio pop-up, Explore, Open, Autoplay, CD Player
    // The CD player: usable only when its name is found in the search order.
    const char* player = "";
    MediaPlayer mediaPlayer = NONE;
    UINT codePage = 1252;
    const char* drives = "d";   // with two, E: is chosen
    char in = 'D';              // the drive that holds the disc
};
const MenuRow kMenus[] = {
    {"an audio disc", sim::AudioDisc({sim::Frames(20, 10, 5), sim::Frames(27, 3, 0)}),
     " [D:] Audio CD:8/0| Total: 47 m 13 s     |8 8 8 11 11"},
    // The label comes in the system's code page.
    {"an accented label", sim::DataDisc("CAF\xC9"), " [D:] CAFÉ:8/0| DATA OR NO DISC LOADED |11 8 8 11 11"},
    {"a Cyrillic label", sim::DataDisc(Cp1251("ДИСК")),
     " [D:] ДИСК:8/0| DATA OR NO DISC LOADED |11 8 8 11 11", "", NONE, 1251},
    {"an unreadable disc", Unreadable(sim::AudioDisc({sim::Frames(3, 0), sim::Frames(4, 0)})),
     " [D:] :8/0| Total: 06 m 59 s     |8 11 11 11 11"},
    // The file system reads the chosen drive; MCI addresses the default one, the first.
    {"a disc only in the second drive, chosen", sim::DataDisc("TOOLS", {{"autorun.inf", "open=setup.exe"}}),
     " [D:] :0/512| [E:] TOOLS:8/512| NO DISC LOADED |11 8 8 8 11", "", NONE, 1252, "de", 'E'},
    {"a disc only in the first drive, the second chosen", sim::DataDisc("PHOTOS"),
     " [D:] PHOTOS:0/512| [E:] :8/512| DATA OR NO DISC LOADED |11 11 11 11 11", "", NONE, 1252, "de"},
    {"OPEN ending at byte 4096", WithAutorun(std::string(4092, ' ') + "OPEN"), kAutorunLook + "8 11"},
    {"OPEN ending past byte 4096", WithAutorun(std::string(4093, ' ') + "OPEN"), kAutorunLook + "11 11"},
    {"open after a NUL", WithAutorun(std::string("[autorun]\0open=x.exe", 20)), kAutorunLook + "8 11"},
    {"a player by a drive-relative name", std::nullopt, kNoDisc + "8", "D:cdplay.exe"},
    {"a player outside the search order", std::nullopt, kNoDisc + "11", "C:\\Tools\\tunes.exe", REGISTERED},
    {"the system's media player stands in", std::nullopt, kNoDisc + "8", "", REGISTERED},
    {"the media player on the path", std::nullopt, kNoDisc + "8", "", ON_PATH},
    {"another program registered", std::nullopt, kNoDisc + "11", "", ANOTHER_REGISTERED},
};
using PollerMenu = Rows<PollerTest>;

TEST_P(PollerMenu, TheOpenMenuShowsWhatIsInTheDrive)
{
    const MenuRow& c = kMenus[GetParam()];
    sim::SetAnsiCodePage(c.codePage);
    sim::AddFile("C:\\Windows\\System32\\cdplay.exe");
    sim::AddFile("C:\\Tools\\tunes.exe");
    const std::string mediaPlayer = c.mediaPlayer == ON_PATH ? "C:\\Windows\\wmplayer.exe"
                                                             : "C:\\Program Files\\Windows Media Player\\wmplayer.exe";
    if (c.mediaPlayer == REGISTERED || c.mediaPlayer == ON_PATH) sim::AddFile(mediaPlayer);
    if (c.mediaPlayer == REGISTERED || c.mediaPlayer == ANOTHER_REGISTERED)
        sim::SetRegText(std::string("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") +
                            (c.mediaPlayer == REGISTERED ? "wmplayer.exe" : "iexplore.exe"),
                        "", mediaPlayer);
    AddDrives(c.drives);
    if (c.drives[1]) Store("LastDrive", "1");
    if (c.disc) sim::InsertDisc(c.in, *c.disc);
    Store("Player", c.player);
    // What the open menu showed once a tick had updated it: the drive items'
    // texts, states and types, the summary line, then the states of the audio pop-up,
    // Explore, Open, Autoplay and CD Player; the devices held open then.
    const int drives = static_cast<int>(strlen(c.drives));
    std::string look;
    user.RightClickTray().Wait(600);
    Step([&look, drives] {
        std::vector<sim::MenuItemView> items = *sim::OpenMenu();
        for (int i = 0; i < drives; ++i)
            look += items[i].text + ":" + std::to_string(items[i].state) + "/" + std::to_string(items[i].type) + "|";
        if (!(items[drives].type & MFT_SEPARATOR)) look += "(no separator after the drives)";
        look += items[drives + 9].popup.at(0).text + "|" + std::to_string(items[drives + 9].state);
        for (UINT id : {IDM_EXPLORE, IDM_OPEN_FOLDER, IDM_AUTOPLAY, IDM_CD_PLAYER})
            look += " " + std::to_string(sim::FindMenuItem(items, id)->state);
        for (const std::string& device : sim::OpenMciDevices()) look += " held " + device;
    });
    user.DismissMenu();
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(c.look, look);
    EXPECT_TRUE(MessageTexts().empty()) << "probing an empty drive raises no system box";
    EXPECT_EQ(0u, sim::CurrentErrorMode());
}
ROWS(PollerMenu, kMenus);

// Notices that tell of no disc of D:, sent by hand: a volume without media,
// a question, a header alone (where the volume's fields would lie beyond
// it), another kind of device and none at all. Every one is answered TRUE: the question too is granted.
void SendHandMadeNotices()
{
    auto send = [](WPARAM event, const void* data) {
        EXPECT_EQ(TRUE, SendMessageA(MainWindow, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(data))) << event;
    };
    DEV_BROADCAST_VOLUME notice = {sizeof notice, DBT_DEVTYP_VOLUME, 0, 1u << ('D' - 'A'), 0};
    send(DBT_DEVICEARRIVAL, &notice);
    notice.dbcv_flags = DBTF_MEDIA;
    send(DBT_DEVICEQUERYREMOVE, &notice);
    auto header = std::make_unique<DEV_BROADCAST_HDR>(DEV_BROADCAST_HDR{sizeof(DEV_BROADCAST_HDR), DBT_DEVTYP_VOLUME, 0});
    send(DBT_DEVICEARRIVAL, header.get());
    notice.dbcv_devicetype = DBT_DEVTYP_PORT;
    send(DBT_DEVICEARRIVAL, &notice);
    send(DBT_DEVICEREMOVECOMPLETE, NULL);
}
const sim::Disc kData = sim::DataDisc("DATA", {{"readme.txt", "hello"}});
struct PictureRow {
    const char* what;
    const char* drives;
    std::optional<sim::Disc> disc;   // in D:, the selected drive
    std::function<void(sim::User&)> script;
    std::vector<int> pictures;       // 151 and the start's look at the drive come first
    int looks;                       // at the root of D: after the start
};
const PictureRow kPictures[] = {
    {"taken out and put back with the drive's button", "d", kData,
     [](sim::User& u) { u.Wait(3000).PressDriveButton('D').Wait(3000).PushTrayIn('D').Wait(3000); },
     {IDI_DORVANE, IDI_NO_DISC, IDI_DORVANE}, 2},
    {"a disc nothing can read", "d", kData,
     [](sim::User& u) { u.PressDriveButton('D').InsertDisc('D', Unreadable(kData)).PushTrayIn('D').Wait(3000); },
     {IDI_DORVANE, IDI_NO_DISC}, 2},
    {"the other drive's discs", "de", kData,
     [](sim::User& u) { u.InsertDisc('E', sim::DataDisc("E")).Wait(1000).TakeOutDisc('E').Wait(1000); },
     {IDI_DORVANE}, 0},
    {"no media's notices", "d", std::nullopt, [](sim::User& u) { u.Do("send", SendHandMadeNotices); },
     {IDI_DORVANE, IDI_NO_DISC}, 0},
};
using PollerPicture = Rows<PollerTest>;

TEST_P(PollerPicture, FollowsTheSystemsWordOnTheDiscWithNoTickWhileTheMenuIsClosed)
{
    const PictureRow& c = kPictures[GetParam()];
    AddDrives(c.drives);
    if (c.disc) sim::InsertDisc('D', *c.disc);
    size_t traceAtStart = 0, menuCalls = 0;
    int looks = 0;
    Step([&] { traceAtStart = sim::Trace().size(); });
    c.script(user);
    Step([&] {
        for (size_t i = traceAtStart; i < sim::Trace().size(); ++i) {
            menuCalls += sim::Trace()[i].find("MenuItem") != std::string::npos;
            looks += sim::Trace()[i] == "FindFirstFileA D:\\*.*";
        }
    });
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(c.pictures, TrayPictures());
    EXPECT_EQ(c.looks, looks);
    EXPECT_EQ(0, sim::TimerFirings(IDT_POLL));
    EXPECT_TRUE(sim::MciLog().empty());
    EXPECT_EQ(0u, menuCalls) << "no item is read or changed while the menu is closed";
}
ROWS(PollerPicture, kPictures);

}  // namespace
