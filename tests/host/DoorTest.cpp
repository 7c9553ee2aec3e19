// Opening and closing doors: the tray click, the hot key and the menu, with
// one and several drives; the MCI default drive aimed and put back; the
// picture and the tooltip; failures at each step; requests that come while a
// door moves; the lock.
#include <shellapi.h>

#include <algorithm>

#include "DriveScenario.h"
#include "Rows.h"
#include "res/resource.h"

namespace {

// The MCI commands of one opening click are kept once for both worlds, in
// door_toggle.mci: the run under Wine reads the same file. A line
// "not open: COMMAND" is a command MCI refuses because its device is not open.
std::string AsWritten(const sim::MciCall& call)
{
    if (call.result == MCIERR_INVALID_DEVICE_NAME) return "not open: " + call.command;
    return call.result ? call.command + " (error " + std::to_string(call.result) + ")" : call.command;
}

std::vector<std::string> Commands(std::vector<std::string> lines)
{
    for (std::string& line : lines)
        if (line.rfind("not open: ", 0) == 0) line = line.substr(10);
    return lines;
}

const std::vector<std::string> kOpenDoor = Commands(ExpectedLines("door_toggle.mci"));
// The opening with the door's alias naming the drive rather than going to the default one.
std::vector<std::string> Named(std::vector<std::string> lines, char letter)
{
    for (std::string& line : lines)
        if (line == "open cdaudio alias cd4open shareable")
            line = std::string("open ") + letter + ": type cdaudio alias cd4open shareable";
    return lines;
}

using DoorTest = DriveScenario;

TEST_F(DoorTest, ClickHotKeyAndMenuMoveTheOnlyDrive)
{
    AddDrives("d");
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(4, 12, 33), sim::Frames(3, 1, 10)}));
    // Longer than the system waits for a program that does not respond: its word on the disc passes it by.
    sim::SetDoorTime('D', 6000);
    const Mark& start = MarkNow();
    user.LeftClickTray();
    std::vector<std::string> asWritten;
    Step([&] {
        for (size_t i = start.mci; i < sim::MciLog().size(); ++i) asWritten.push_back(AsWritten(sim::MciLog()[i]));
    });
    const Seen& click = Look(&start);
    // The hot key's close of the door's alias fails and leaves the alias taken: the menu's open still works.
    Step([] { sim::FailMci("close cd4open", MCIERR_HARDWARE); });
    user.PressKeys(MOD_CONTROL | MOD_ALT, VK_SPACE);
    const Seen& hotKey = Look();
    Choose(IDM_OPEN_DOOR);
    const Seen& openItem = Look();
    EXPECT_EQ(0, RunToExit());

    EXPECT_EQ(ExpectedLines("door_toggle.mci"), asWritten) << "as the run under Wine sees them";
    EXPECT_EQ("D||D", click.open + "|" + hotKey.open + "|" + openItem.open);
    EXPECT_EQ("Close CD|Eject CD", click.tip + "|" + hotKey.tip) << "the tooltip names the next action";
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_EQ(-1, sim::TraceIndex("RegOpenKeyExA HKLM")) << "one drive: the MCI default drive is left alone";
    // The hourglass while each door moves, then the picture the poller had chosen: the
    // empty drive's once the disc lies on the open tray, the disc's once the tray closed on it.
    const int disc = IDI_DORVANE, none = IDI_NO_DISC, moving = IDI_DOOR_MOVING;
    EXPECT_EQ((std::vector<int>{disc, moving, disc, none, moving, none, disc, moving, disc, none}), TrayPictures());
    int tips = 0;
    for (const sim::TrayCall& call : sim::TrayCalls()) tips += (call.flags & NIF_ICON) && (call.flags & NIF_TIP);
    EXPECT_EQ(1, tips) << "after the start, a picture comes without a tooltip";
    EXPECT_EQ(0, Sent("stop cdaudio")) << "a door movement leaves the program holding no device";
}

// Requests made while a door moves, or while its door command's error box
// shows, must not be handed round ahead of the user's answer: they wait, and
// run in turn once the command has ended, as in a program that handled one
// message at a time. Past four the newest folds into the last, so the door
// still ends where all of them say.
const UINT kClick = 0;
struct RequestRow {
    const char* what;
    std::vector<UINT> requests;   // clicks and menu commands while the box shows
    std::string doors;            // the door commands after the opening's: o(pen), c(losed)
    bool moving = false;          // made while the opening moves, which does not fail
    bool countdown = false;       // of 2 s, and the user waits 4 s at the end
    bool locked = false;          // the requests' own prompt is cancelled
};
const RequestRow kRequests[] = {
    {"seven clicks", std::vector<UINT>(7, kClick), "coc"},
    // The click past the queue turns the last Open into a Close, not into nothing.
    {"five past the queue", {IDM_CLOSE_DOOR, IDM_OPEN_DOOR, IDM_CLOSE_DOOR, IDM_OPEN_DOOR, kClick}, "cocc"},
    {"five past the queue, the countdown on", {IDM_CLOSE_DOOR, IDM_OPEN_DOOR, IDM_CLOSE_DOOR, IDM_OPEN_DOOR, kClick},
     "cocc", false, true},
    // The opening's countdown comes all the same; a click that waited ends it, as a click does.
    {"Open while the door moves, its prompt cancelled", {IDM_OPEN_DOOR}, "c", true, true, true},
    {"a click while the door moves, then the countdown", {kClick}, "c", true, true},
    {"Open and a click, Open's prompt cancelled", {IDM_OPEN_DOOR, kClick}, "c", false, true, true},
};
using DoorRequests = Rows<DoorTest>;

TEST_P(DoorRequests, DuringADoorCommandRunInTurnOnceItEnds)
{
    const RequestRow& c = kRequests[GetParam()];
    AddDrives("d");
    Store("Locked", c.locked ? "1" : "0");
    Store("Password", "pw");
    Store("AutoCloseAllowed", c.countdown ? "1" : "0");
    Store("AutoCloseTime", "2");
    if (!c.moving) sim::FailMci("set cd4open door open wait", MCIERR_HARDWARE);
    const Mark& start = MarkNow();
    user.LeftClickTray();
    if (c.locked) user.WhenDialogShows(IDD_PASSWORD_PROMPT).Type("pw").ClickButton(IDOK);
    if (c.moving) user.Wait(300);
    else user.When("the box shows", [] { return !sim::MessageBoxes().empty(); });
    for (UINT request : c.requests)
        if (request) Choose(request);
        else user.LeftClickTray();
    if (!c.moving) user.AnswerMessageBox(IDOK);
    const Seen* atPrompt = nullptr;
    if (c.locked) {
        user.WhenDialogShows(IDD_PASSWORD_PROMPT);
        atPrompt = &Look();
        user.ClickButton(IDCANCEL);
    }
    if (c.countdown) user.Wait(4000);
    const Seen& seen = Look(&start);
    user.EndTask();
    Run();
    std::string doors;
    for (const std::string& command : seen.mci)
        if (command.rfind("set cd4open door ", 0) == 0) doors += command[17];
    // (Once the door is shut, the lock closes it again at every tick.)
    if (c.locked) doors.resize(1 + c.doors.size());
    EXPECT_EQ("o" + c.doors, doors) << "the opening, then the requests";
    std::vector<int> pictures = TrayPictures();
    EXPECT_EQ(static_cast<long>(1 + c.doors.size()), std::count(pictures.begin(), pictures.end(), IDI_DOOR_MOVING))
        << "each of the user's door commands shows the hourglass";
    EXPECT_EQ("", seen.open) << "every row ends with the door shut";
    EXPECT_EQ(c.moving ? "" : "main", Joined(BoxOwners()));
    if (atPrompt) {
        EXPECT_EQ("2", atPrompt->countdown) << "the opening's countdown shows behind the request's prompt";
    }
}
ROWS(DoorRequests, kRequests);

// Elevated, the program aims "Default Drive" at the selected drive and puts it
// back byte for byte; where it may not write the value (a standard user, or
// an administrator under UAC), the door's alias names the drive instead.
struct DrivesRow {
    const char* what;
    bool elevated;
    DWORD type;
    std::string bytes;   // "Default Drive"
    const char* lastDrive;
    char opens;          // at the first click
    bool elsewhere;      // not the drive the playback device addresses
    const char* then = "";    // acts after it: c(lick), d, e, f (the drive chosen)
    const char* trays = "";   // the open trays after each ("-" for none)
    void (*meanwhile)() = nullptr;   // before the first click
};
const std::string kOnD(4, '\0');
const DrivesRow kDrives[] = {
    {"an odd value naming D:, F: chosen", true, REG_BINARY, std::string("\0\7\0\0\0\x09", 6), "2", 'F', true},
    {"the default drive itself", true, REG_BINARY, std::string("\1\0\0\0", 4), "-1", 'E', false},
    {"an empty value names D:", true, REG_BINARY, "", "1", 'E', true},
    {"a number instead of bytes", true, REG_DWORD, kOnD, "1", 'E', true},
    {"the write refused", true, REG_BINARY, kOnD, "1", 'E', true, "", "",
     [] { sim::FailCall("RegSetValueExA", "Default Drive", ERROR_ACCESS_DENIED); }},
    {"a standard user at the default drive", false, REG_BINARY, std::string("\2\0\0\0", 4), "2", 'F', false},
    {"a standard user, a value too long to read", false, REG_BINARY, std::string(300, '\1'), "0", 'D', false},
    // Neither the open to write nor the one to read finds the key.
    {"a standard user without the key: the first drive", false, REG_BINARY, std::string("\1\0\0\0", 4), "0", 'D',
     false, "", "", [] { sim::FailCall("RegOpenKeyExA", MCI_CDAUDIO_PATH, ERROR_FILE_NOT_FOUND, 2); }},
    {"elevated, other drives chosen between clicks", true, REG_BINARY, kOnD, "1", 'E', true, "fcec", "E EF EF F"},
    {"a standard user, the default drive chosen between clicks", false, REG_BINARY, kOnD, "1", 'E', true, "dcc",
     "E DE E"},
};
using DoorDrives = Rows<DoorTest>;

TEST_P(DoorDrives, AimTheDefaultDriveOrNameTheDrive)
{
    const DrivesRow& c = kDrives[GetParam()];
    sim::RunElevated(c.elevated);
    AddDrives("def");
    sim::SetRegValue(MCI_CDAUDIO_PATH, "Default Drive", c.type, c.bytes);
    Store("LastDrive", c.lastDrive);
    if (c.meanwhile) Step(c.meanwhile);
    const Mark& start = MarkNow();
    user.LeftClickTray();
    const Seen& seen = Look(&start);
    // Then more clicks ('c') and drives chosen ('d', 'e', 'f'), with the open trays after each.
    std::vector<const Seen*> later;
    for (const char* act = c.then; *act; ++act) {
        if (*act == 'c') user.LeftClickTray();
        else Choose(IDM_DRIVE_FIRST + (*act - 'd'));
        later.push_back(&Look());
    }
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(std::string(1, c.opens), seen.open);
    std::string trays;
    for (const Seen* look : later) trays += (trays.empty() ? "" : " ") + (look->open.empty() ? "-" : look->open);
    EXPECT_EQ(c.trays, trays) << "each click moves the chosen drive's door";
    std::vector<std::string> sent = c.elevated && !c.meanwhile ? kOpenDoor : Named(kOpenDoor, c.opens);
    if (c.elsewhere) sent.insert(sent.end(), {"open cdaudio", "set cdaudio time format tmsf"});
    EXPECT_EQ(sent, seen.mci) << "after a door elsewhere, the playback device on the default drive is held again";
    EXPECT_EQ(c.elevated && c.elsewhere, sim::TraceIndex("RegSetValueExA HKLM") >= 0);
    auto after = sim::GetRegValue(MCI_CDAUDIO_PATH, "Default Drive");
    EXPECT_EQ(c.type, after ? after->type : REG_NONE);
    EXPECT_EQ(c.bytes, after ? after->data : "") << "put back byte for byte, or never written";
}
ROWS(DoorDrives, kDrives);

const std::function<void()> kFailTheDoor = [] { sim::FailMci("set cd4open door open wait", MCIERR_HARDWARE); };
struct FailingStepRow {
    const char* what;
    std::function<void()> fault, whileTheBoxShows;
    std::vector<std::string> messages;
    const char* tip;
    char defaultDrive;   // byte 0 of "Default Drive" afterwards
    const char* countdown;
    bool held;           // the program holds the playback device afterwards
};
const FailingStepRow kFailingSteps[] = {
    {"the door command", kFailTheDoor, nullptr, {"MCI device error."}, "Close CD", 0, "15", true},
    {"opening the key", [] { sim::FailCall("RegOpenKeyExA", MCI_CDAUDIO_PATH, ERROR_NOT_ENOUGH_MEMORY); }, nullptr,
     {}, "Eject CD", 0, "-", false},
    {"reading Default Drive", [] { sim::FailCall("RegQueryValueExA", "Default Drive"); }, nullptr,
     {"Failed to read information."}, "Eject CD", 0, "-", false},
    {"aiming Default Drive", [] { sim::FailCall("RegSetValueExA", "Default Drive", ERROR_NOT_ENOUGH_MEMORY); },
     nullptr, {"Failed to write information."}, "Eject CD", 0, "-", false},
    {"closing the key once aimed", [] { sim::FailCall("RegCloseKey", MCI_CDAUDIO_PATH); }, nullptr, {}, "Eject CD", 0,
     "-", false},
    {"opening the alias", [] { sim::FailMci("open cdaudio alias cd4open shareable", MCIERR_DEVICE_OPEN); },
     nullptr, {}, "Eject CD", 0, "-", false},
    {"putting it back", kFailTheDoor, [] { sim::FailCall("RegSetValueExA", "Default Drive"); },
     {"MCI device error.", "Failed to write information."}, "Close CD", 1, "-", false},
    {"opening the key to put it back", kFailTheDoor, [] { sim::FailCall("RegOpenKeyExA", MCI_CDAUDIO_PATH); },
     {"MCI device error.", "Failed to read information."}, "Close CD", 1, "-", false},
};
using DoorFailingStep = Rows<DoorTest>;

TEST_P(DoorFailingStep, ShowsItsMessageAndLeavesTheRegistryAsItCan)
{
    const FailingStepRow& c = kFailingSteps[GetParam()];
    sim::RunElevated(true);
    AddDrives("de");
    SetDefaultDrive(0);
    Store("LastDrive", "1");
    Store("AutoCloseAllowed", "1");
    // Music from D:, the default drive: the door command takes its device.
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(3, 0), sim::Frames(4, 0)}));
    Choose(IDM_PLAY);
    Step(c.fault);
    user.LeftClickTray();
    if (c.whileTheBoxShows) user.Do("break the put-back", c.whileTheBoxShows).AnswerMessageBox(IDOK);
    user.AcceptMessageBoxes();
    const Seen& seen = Look();
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(c.messages, MessageTexts());
    EXPECT_EQ(std::vector<std::string>(c.messages.size(), "main"), BoxOwners());
    EXPECT_EQ("", seen.open) << "the failed command moved no door, and D: is never aimed at";
    EXPECT_EQ(c.tip, seen.tip) << "a door command that was sent records its request";
    EXPECT_EQ(std::string(1, c.defaultDrive) + std::string(3, '\0'), DefaultDriveBytes());
    EXPECT_EQ(c.countdown, seen.countdown) << "after a failed put-back nothing follows";
    EXPECT_EQ(c.held ? 1 : 0, Sent("stop cdaudio")) << "Exit releases what the program believes it holds";
}
ROWS(DoorFailingStep, kFailingSteps);

TEST_F(DoorTest, TheLockKeepsTheDoorShutUntilThePasswordAndAgainAfterTheNextClose)
{
    AddDrives("d");
    Store("Locked", "1");
    Store("Password", "pw");
    user.At(1200).PressDriveButton('D');
    const Seen& byButton = Look();
    user.Wait(600);
    const Seen& nextTick = Look();
    user.RightClickTray().PressDriveButton('D').Wait(600);
    const Seen& menuOpen = Look();
    user.DismissMenu();
    // The password opens it for good; a close locks it again.
    user.LeftClickTray().WhenDialogShows(IDD_PASSWORD_PROMPT);
    const Seen& atPrompt = Look();
    user.Type("pw").PressKey(VK_RETURN).Wait(1500);
    const Seen& unlocked = Look();
    user.LeftClickTray().PressDriveButton('D').Wait(600);
    const Seen& relocked = Look();
    // The lock's close fails and leaves the tray open: a click during its box
    // waits for the answer, and the lock goes on while the click's prompt shows.
    Step([] { sim::FailMci("set cd4open door closed wait", MCIERR_HARDWARE); });
    user.PressDriveButton('D').Wait(600).LeftClickTray().AnswerMessageBox(IDOK);
    user.WhenDialogShows(IDD_PASSWORD_PROMPT).Wait(600);
    const Seen& atClickPrompt = Look();
    // Closes that keep failing show one box at a time: ten ticks go by behind it.
    Step([] { sim::FailMci("set cd4open door closed wait", MCIERR_HARDWARE, 12); });
    user.PressDriveButton('D').Wait(5000);
    user.EndTask();
    Run();

    // Opened by the button, shut at the next tick, with the menu open too, and at the prompt; the password
    // opens it, a close locks it again, and the click's prompt waits outside the lock's own close.
    EXPECT_EQ("D||||D||", byButton.open + "|" + nextTick.open + "|" + menuOpen.open + "|" + atPrompt.open + "|" +
                              unlocked.open + "|" + relocked.open + "|" + atClickPrompt.open);
    EXPECT_EQ("main main", Joined(BoxOwners())) << "one box for each run of failing closes";
    EXPECT_EQ("main", Joined(atClickPrompt.owners)) << "the click's prompt";
    // The tick runs exactly while the lock has a door to keep shut.
    EXPECT_EQ("1 0 1", std::to_string(byButton.ticking) + " " + std::to_string(unlocked.ticking) + " " +
                           std::to_string(relocked.ticking));
    // The lock's closes leave the picture alone: the hourglass shows only for the user's two.
    std::vector<int> pictures = TrayPictures();
    EXPECT_EQ(2, std::count(pictures.begin(), pictures.end(), IDI_DOOR_MOVING));
    EXPECT_EQ(1, Sent("set cd4open door open wait"));
}

}  // namespace
