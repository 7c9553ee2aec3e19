// Playing an audio CD from the menu: what the drive does after each sequence
// of commands, failures on the way, odd answers, and the track lines of the
// open menu.
#include <map>

#include "DriveScenario.h"
#include "Rows.h"
#include "res/resource.h"

namespace {

using sim::MenuItemView;

class PlaybackTest : public DriveScenario {
protected:
    void SetUp() override
    {
        DriveScenario::SetUp();
        AddDrives("d");
        sim::InsertDisc('D', sim::AudioDisc({sim::Frames(4, 12, 33), sim::Frames(3, 0), sim::Frames(5, 30)}));
    }
};

// Commands: P Play, A Pause, S Stop, < Previous, > Next; w waits two seconds,
// X takes the disc out, B presses the drive's button, C chooses "Close CD drive",
// T clicks the tray icon, I pushes the tray in by hand,
// ! makes the next command's `fail` fail once, = has the next "status cdaudio
// current track" answer `fail` instead.
struct SequenceRow {
    const char* commands;
    const char* drive;    // its state and as much of its position as given
    const char* fail = "";
    size_t boxes = 0;
};
const SequenceRow kSequences[] = {
    {"P", "playing 01"}, {"A", "stopped 01"}, {"S", "stopped 01"}, {"<", "stopped 01"}, {"PwP", "playing 01:00:02"},
    {"PA", "paused 01"}, {"PS", "stopped 01"}, {"P<", "playing 01:00:00"}, {"PA>", "stopped 02"},
    {"PAAA", "paused 01"},                 // Pause resumes, then pauses again
    {"PA>P", "playing 02:00:00"},          // Play starts the chosen track; the pause is dropped
    {"P>>>", "playing 01"},                // Next on the last track goes round
    {">><", "stopped 02"},
    {"PwAwwP", "playing 01:00:02"},        // Play after Pause resumes where it stopped
    {"PwSP", "playing 01:00:00"},          // Play starts the current track from its beginning
    {"PwABBP", "playing 01:00:02"},        // the disc went out and back: the resume goes back to the pause
    {"XP", "stopped "},                    // no disc: nothing, and nothing said
    {"P!AA", "paused 01", "pause cdaudio", 1},   // the second Pause pauses: the disc still played
    {"Pw!AwP", "playing 01:00:02", "status cdaudio position", 1},   // no position saved: plays on from where it is
    {"PwAP!AwP", "playing 01:00:02", "status cdaudio position", 1},  // nor is the earlier pause's
    {"PA!AA", "playing 01", "play cdaudio", 1},
    {"!P", "stopped 01", "open cdaudio shareable", 1},
    {"!P", "stopped 01", "set cdaudio time format tmsf", 1},
    {"!PP", "playing 01", "set cdaudio time format tmsf", 1},
    {"!P", "stopped 01", "status cdaudio media present", 1},
    {"!P", "stopped 01", "play cdaudio", 1},
    {"!>", "stopped 01", "status cdaudio current track", 1},
    {"!>", "stopped 01", "status cdaudio number of tracks", 1},
    {"P!>", "playing 01", "stop cdaudio", 1},
    {"P!>", "stopped 01", "seek cdaudio to 2", 0},   // the track's seek is silent
    {"PC>", "playing 02:00:00"},           // the device the door command holds again counts in tracks
    {"P!C>", "playing 02:00:00", "set cdaudio time format tmsf", 0},   // or is let go, and Next opens it anew
    // A stop that fails lets the device go all the same, from the menu and at Exit, where a close
    // that fails is tried again.
    {"P!S", "playing 01", "stop cdaudio", 0},
    {"P!", "playing 01", "stop cdaudio", 0},
    {"P!", "playing 01", "close cdaudio", 0},
    // The door is recorded open, but the user pushed the tray in by hand and plays the disc:
    // no door command while the drive plays; the next one ends the music, and Play after it
    // starts afresh.
    {"TIPT", "playing 01"},
    {"TIPTT", "stopped "},
    {"TIPTTTP", "playing 01"},
    // Track numbers outside the disc, at the 32-bit limits too, move to the first track.
    {">=>", "stopped 01:00:00", "2147483647"},
    {">=<", "stopped 01:00:00", "-2147483648"},
};

// "PA!AA" with "pause cdaudio" failing: "Play_Pause_fail_Pause_Pause_pause_cdaudio".
std::string RowName(const SequenceRow& row)
{
    const std::map<char, const char*> words = {{'P', "Play"}, {'A', "Pause"}, {'S', "Stop"}, {'<', "Previous"},
        {'>', "Next"}, {'w', "wait"}, {'X', "out"}, {'B', "button"}, {'C', "Close"}, {'T', "click"}, {'I', "in"}, {'!', "fail"}, {'=', "answer"}};
    std::string name;
    for (const char* command = row.commands; *command; ++command) name += std::string(words.at(*command)) + " ";
    return ::RowName(name + row.fail);
}
using PlaybackSequence = Rows<PlaybackTest>;

TEST_P(PlaybackSequence, WhatTheDriveDoesAfterEachSequenceOfCommands)
{
    const SequenceRow& c = kSequences[GetParam()];
    user.AcceptMessageBoxes();
    for (const char* command = c.commands; *command; ++command) {
        switch (*command) {
        case 'P': Choose(IDM_PLAY); break;
        case 'A': Choose(IDM_PAUSE); break;
        case 'S': Choose(IDM_STOP); break;
        case '<': Choose(IDM_PREVIOUS_TRACK); break;
        case '>': Choose(IDM_NEXT_TRACK); break;
        case 'w': user.Wait(2000); break;
        case 'X': user.TakeOutDisc('D'); break;
        case 'B': user.PressDriveButton('D'); break;
        case 'C': Choose(IDM_CLOSE_DOOR); break;
        case 'T': user.LeftClickTray(); break;
        case 'I': user.PushTrayIn('D'); break;
        case '!': Step([&c] { sim::FailMci(c.fail, MCIERR_HARDWARE); }); break;
        case '=': Step([&c] { sim::AnswerMci("status cdaudio current track", c.fail); }); break;
        }
    }
    std::string drive;
    Step([&drive] { drive = sim::DrivePlayState('D') + " " + sim::DrivePosition('D'); });
    const Seen& seen = Look();
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(c.drive, drive.substr(0, strlen(c.drive)));
    EXPECT_EQ(std::vector<std::string>(c.boxes, "MCI device error."), MessageTexts());
    EXPECT_EQ(std::vector<std::string>(c.boxes, "main"), BoxOwners());
    if (!*c.fail) {
        EXPECT_NE("playing", sim::DrivePlayState('D')) << "Exit stops the program's own playback";
    }
    if (!strstr(c.commands, "TT")) {
        EXPECT_EQ(0, Sent("set cd4open door closed wait")) << "no door command while the drive plays";
    }
    if (std::string(c.commands).back() == 'S') {
        EXPECT_TRUE(seen.devices.empty()) << "Stop lets the device go";
    }
    if (std::string(c.commands) == "A") {
        EXPECT_TRUE(sim::MciLog().empty()) << "nothing to pause";
    }
}
ROWS(PlaybackSequence, kSequences);

// One session's commands, kept once for both worlds: the run under Wine checks the virtual drive's
// log against the same file (POSITION is where Pause held). Before it, a tick of the open menu at the
// idle disc; before its Stop, the track lines of the open menu, which go once it stops.
TEST_F(PlaybackTest, ASessionSendsTheSharedCommandsAndTheTrackLinesComeAndGo)
{
    // A first look while the disc is idle: the poller takes the blank track lines away.
    user.RightClickTray().Wait(600);
    const Mark& idle = MarkNow();
    size_t traceAtMark = 0, insertions = 0;
    std::vector<std::string> writes;
    Step([&] { traceAtMark = sim::Trace().size(); });
    user.Wait(500);
    const Seen& tick = Look(&idle);
    Step([&] {
        for (size_t i = traceAtMark; i < sim::Trace().size(); ++i)
            if (sim::Trace()[i].rfind("SetMenuItemInfoW", 0) == 0) writes.push_back(sim::Trace()[i]);
    });
    user.DismissMenu();
    const std::map<std::string, UINT> choices = {
        {"[Play]", IDM_PLAY}, {"[Pause]", IDM_PAUSE}, {"[Next Track]", IDM_NEXT_TRACK}, {"[Stop]", IDM_STOP}};
    std::vector<std::pair<std::string, const Seen*>> seen;
    std::string position = "(no pause)", expected, sent, first;
    std::vector<MenuItemView> playing, stopped;
    std::vector<std::string> held;
    for (const std::string& line : ExpectedLines("playback.mci")) {
        expected += line + "\n";
        if (line[0] != '[') continue;
        user.Wait(2000);
        const Mark& mark = MarkNow();
        Choose(choices.at(line));
        seen.emplace_back(line, &Look(&mark));
        if (line == "[Pause]") Step([&position] { position = sim::DrivePosition('D'); });
        if (line != "[Next Track]") continue;
        // The lines are right the moment they appear, and are only relabelled as the track plays.
        Step([&] { traceAtMark = sim::Trace().size(); });
        user.RightClickTray().WhenMenuShows("the track lines", [](const std::vector<MenuItemView>& items) {
            return items[10].popup.size() == 9;
        });
        Step([&first] { first = (*sim::OpenMenu())[10].popup[1].text + "|" + (*sim::OpenMenu())[10].popup[2].text; });
        user.Wait(2000);
        Step([&] {
            playing = (*sim::OpenMenu())[10].popup;
            held = sim::OpenMciDevices();
            for (size_t i = traceAtMark; i < sim::Trace().size(); ++i)
                insertions += sim::Trace()[i].rfind("InsertMenuItemW", 0) == 0;
        });
        user.DismissMenu();
    }
    user.RightClickTray().Wait(600);
    Step([&] { stopped = (*sim::OpenMenu())[10].popup; });
    user.DismissMenu();
    EXPECT_EQ(0, RunToExit());

    for (const auto& [heading, look] : seen) {
        sent += heading + "\n";
        for (const std::string& command : look->mci)
            sent += (command == "seek cdaudio to " + position ? "seek cdaudio to POSITION" : command) + "\n";
    }
    EXPECT_EQ(expected, sent);
    // Every write of an item's state takes the highlight off the item under
    // the mouse, and on an open pop-up Wine's menu loop loses track of it: in
    // a tick of the idle disc the summary and the drive item's label are written,
    // Explore and the audio pop-up, usable from the first tick, are not written again.
    EXPECT_EQ((std::vector<std::string>{"SetMenuItemInfoW 40019", "SetMenuItemInfoW 0 by position"}), writes);
    EXPECT_EQ((std::vector<std::string>{"open cdaudio shareable", "status cdaudio media present",
                                        "status cdaudio media present", "status cdaudio number of tracks",
                                        "set cdaudio time format tmsf", "status cdaudio length",
                                        "status cdaudio number of tracks", "close cdaudio"}),
              tick.mci)
        << "the tick holds the device for its questions only";
    EXPECT_EQ(" Track 2 from 3     | Length: 03 m 00 s     ", first);
    ASSERT_EQ(9u, playing.size());
    EXPECT_EQ(" Total: 12 m 42 s     ", playing[0].text);
    EXPECT_EQ("40020 \" Track 2 from 3     \" 163 0\n40021 \" Length: 03 m 00 s     \" 163 0\n",
              MenuLines({playing[1], playing[2]}));
    EXPECT_EQ(2u, insertions) << "inserted once, then only relabelled";
    EXPECT_EQ(std::vector<std::string>{"cdaudio"}, held) << "the poller leaves the playing device open";
    ASSERT_EQ(7u, stopped.size()) << "the track lines are gone";
    EXPECT_TRUE(stopped[1].type & MFT_SEPARATOR);
}

}  // namespace
