// Playing an audio CD from the menu: what the drive does for every command in
// every state, the track lines of the open menu, and failures on the way.
#include "DriveScenario.h"
#include "res/resource.h"

namespace {

using sim::MenuItemView;

class PlaybackTest : public DriveScenario {
protected:
    void SetUp() override
    {
        DriveScenario::SetUp();
        AddDrives("d");
        sim::InsertDisc('D', ThreeTracks());
    }

    static sim::Disc ThreeTracks()
    {
        return sim::AudioDisc({sim::Frames(4, 12, 33), sim::Frames(3, 0), sim::Frames(5, 30)});
    }

    void Choose(UINT command) { user.RightClickTray().ChooseMenuItem(command); }

    // The drive's state and track at this step.
    void Listen(std::string* state, std::string* position)
    {
        user.Do("listen", [state, position] {
            *state = sim::DrivePlayState('D');
            *position = sim::DrivePosition('D');
        });
    }

    int RunToExit()
    {
        user.AcceptMessageBoxes();
        Choose(IDM_EXIT);
        return Run();
    }
};

}  // namespace

TEST_F(PlaybackTest, EveryCommandInEveryState)
{
    enum Start { IDLE, PLAYING, PAUSED };
    struct Case {
        Start start;
        UINT command;
        const char* state;   // what the drive does afterwards
        const char* track;   // and on which track
    };
    const Case cases[] = {
        {IDLE, IDM_PLAY, "playing", "01"},       {IDLE, IDM_PAUSE, "stopped", "01"},
        {IDLE, IDM_STOP, "stopped", "01"},       {IDLE, IDM_PREVIOUS_TRACK, "stopped", "01"},
        {IDLE, IDM_NEXT_TRACK, "stopped", "02"}, {PLAYING, IDM_PLAY, "playing", "01"},
        {PLAYING, IDM_PAUSE, "paused", "01"},    {PLAYING, IDM_STOP, "stopped", "01"},
        {PLAYING, IDM_PREVIOUS_TRACK, "playing", "01"}, {PLAYING, IDM_NEXT_TRACK, "playing", "02"},
        {PAUSED, IDM_PLAY, "playing", "01"},     {PAUSED, IDM_PAUSE, "playing", "01"},
        {PAUSED, IDM_STOP, "stopped", "01"},     {PAUSED, IDM_PREVIOUS_TRACK, "stopped", "01"},
        {PAUSED, IDM_NEXT_TRACK, "stopped", "02"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("from state " + std::to_string(c.start) + ", command " + std::to_string(c.command));
        SetUp();
        if (c.start != IDLE) Choose(IDM_PLAY);
        user.Wait(2000);
        if (c.start == PAUSED) Choose(IDM_PAUSE);
        Mark mark;
        user.Do("mark", [&] { mark = Now(); });
        Choose(c.command);
        std::string state, position;
        Listen(&state, &position);
        EXPECT_EQ(0, RunToExit());
        EXPECT_EQ(c.state, state);
        EXPECT_EQ(c.track, position.substr(0, 2)) << position;
        EXPECT_TRUE(MessageTexts().empty());
        if (c.start == IDLE && c.command == IDM_PAUSE) {
            EXPECT_TRUE(MciSince(mark).empty()) << "nothing to pause";
        }
    }
}

TEST_F(PlaybackTest, PlayAfterPauseResumesWhereItStopped)
{
    std::string state, position, atPause;
    Choose(IDM_PLAY);
    user.Wait(2500);
    Choose(IDM_PAUSE);
    user.Do("note", [&] { atPause = sim::DrivePosition('D'); }).Wait(4000);
    Choose(IDM_PLAY);
    Listen(&state, &position);
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ("playing", state);
    EXPECT_EQ(atPause.substr(0, 8), position.substr(0, 8)) << "not the start of the track";
    EXPECT_NE("01:00:00", position.substr(0, 8));
}

TEST_F(PlaybackTest, TracksGoRoundAtTheEndsAndAPauseIsDroppedByAMove)
{
    std::string afterPrevious, afterLastNext, stateAfterMove, stateAfterPlay, positionAfterPlay, ignored;
    Choose(IDM_PLAY);
    Choose(IDM_PREVIOUS_TRACK);
    Listen(&ignored, &afterPrevious);
    Choose(IDM_NEXT_TRACK);
    Choose(IDM_NEXT_TRACK);
    Choose(IDM_NEXT_TRACK);
    Listen(&ignored, &afterLastNext);
    Choose(IDM_PAUSE);
    Choose(IDM_NEXT_TRACK);
    Listen(&stateAfterMove, &ignored);
    Choose(IDM_PLAY);
    Listen(&stateAfterPlay, &positionAfterPlay);
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ("01", afterPrevious.substr(0, 2)) << "Previous on track 1 restarts it";
    EXPECT_EQ("01", afterLastNext.substr(0, 2)) << "Next on the last track goes round";
    EXPECT_EQ("stopped", stateAfterMove);
    EXPECT_EQ("playing", stateAfterPlay);
    EXPECT_EQ("02:00:00", positionAfterPlay.substr(0, 8)) << "Play starts the chosen track";
}

TEST_F(PlaybackTest, TrackNumbersOutsideTheDiscMoveToTheFirstTrack)
{
    const std::pair<UINT, const char*> cases[] = {
        {IDM_NEXT_TRACK, "2147483647"}, {IDM_PREVIOUS_TRACK, "-2147483648"}, {IDM_NEXT_TRACK, "-5"}};
    for (auto [command, current] : cases) {
        SCOPED_TRACE(current);
        SetUp();
        Choose(IDM_NEXT_TRACK);
        user.Do("the driver answers oddly", [current] { sim::AnswerMci("status cdaudio current track", current); });
        Choose(command);
        std::string state, position;
        Listen(&state, &position);
        EXPECT_EQ(0, RunToExit());
        EXPECT_EQ("01", position.substr(0, 2)) << position;
        EXPECT_TRUE(MessageTexts().empty());
    }
}

TEST_F(PlaybackTest, TheTrackLinesAppearDuringPlaybackAndGoWhenItStops)
{
    std::vector<MenuItemView> playingAudio, stoppedAudio;
    size_t insertions = 0;
    // A first look while the disc is idle: the poller takes the blank track lines away.
    user.RightClickTray().Wait(600).DismissMenu();
    Choose(IDM_NEXT_TRACK);
    Choose(IDM_PLAY);
    user.RightClickTray().WhenMenuShows("the track lines", [](const std::vector<MenuItemView>& items) {
        return items[10].popup.size() == 9 && items[10].popup[1].text == " Track 2 from 3     ";
    });
    user.Wait(2000).Do("look", [&] {
        playingAudio = (*sim::OpenMenu())[10].popup;
        for (const std::string& line : sim::Trace())
            if (line.rfind("InsertMenuItemW", 0) == 0 && line.find(" 0 by position") == std::string::npos) ++insertions;
    });
    user.ChooseMenuItem(IDM_STOP);
    user.RightClickTray().Wait(600).Do("look", [&] { stoppedAudio = (*sim::OpenMenu())[10].popup; }).DismissMenu();
    EXPECT_EQ(0, RunToExit());

    ASSERT_EQ(9u, playingAudio.size());
    EXPECT_EQ(" Total: 12 m 42 s     ", playingAudio[0].text);
    EXPECT_EQ(static_cast<UINT>(IDM_TRACK_LINE), playingAudio[1].id);
    EXPECT_EQ(" Length: 03 m 00 s     ", playingAudio[2].text);
    for (int i : {1, 2}) {
        EXPECT_EQ(IDB_TRACK_DISC, playingAudio[i].checkedBitmap);
        EXPECT_EQ(static_cast<UINT>(MFS_CHECKED), playingAudio[i].state);
    }
    EXPECT_EQ(2u, insertions) << "inserted once, then only relabelled";
    ASSERT_EQ(7u, stoppedAudio.size()) << "the track lines are gone";
    EXPECT_TRUE(stoppedAudio[1].type & MFT_SEPARATOR);
}

TEST_F(PlaybackTest, AFailedPauseLeavesTheProgramPlaying)
{
    std::string state, ignored;
    Choose(IDM_PLAY);
    user.Do("break the pause", [] { sim::FailMci("pause cdaudio", MCIERR_HARDWARE); });
    user.RightClickTray().ChooseMenuItem(IDM_PAUSE).AnswerMessageBox(IDOK);
    Choose(IDM_PAUSE);
    Listen(&state, &ignored);
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(std::vector<std::string>{"MCI device error."}, MessageTexts());
    EXPECT_EQ("paused", state) << "the second Pause pauses: the program knew the disc still played";
}

TEST_F(PlaybackTest, APauseWithoutASavedPositionResumesWhereTheDriveStands)
{
    std::string state, position, atPause;
    Mark mark;
    Choose(IDM_PLAY);
    user.Wait(3000).Do("break the position", [] { sim::FailMci("status cdaudio position", MCIERR_HARDWARE); });
    user.RightClickTray().ChooseMenuItem(IDM_PAUSE).AnswerMessageBox(IDOK);
    std::vector<std::string> resume;
    user.Do("note", [&] {
        atPause = sim::DrivePosition('D');
        mark = Now();
    });
    Choose(IDM_PLAY);
    Listen(&state, &position);
    user.Do("note", [&] { resume = MciSince(mark); });
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ("playing", state);
    EXPECT_EQ(atPause.substr(0, 8), position.substr(0, 8));
    EXPECT_EQ(std::vector<std::string>{"play cdaudio"}, resume) << "no seek to a position never saved";
}

TEST_F(PlaybackTest, PlayOnAnEmptyDriveSaysNothing)
{
    sim::TakeOutDisc('D');
    std::string state, ignored;
    Choose(IDM_PLAY);
    Listen(&state, &ignored);
    EXPECT_EQ(0, RunToExit());
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_EQ(-1, sim::TraceIndex("mciSendStringA \"play cdaudio\""));
}
