// The MCI commands of one door opening, compared with tests/expect/door_toggle.mci: the run under
// Wine reads the same file, so the two worlds cannot drift apart. The file's header says what the
// scripted action is and how a command that no driver sees is written.
#include "DriveScenario.h"
#include "res/resource.h"

#include <fstream>

namespace {

const char kNotOpen[] = "not open: ";

// The file's command lines, comments and empty lines left out.
std::vector<std::string> ExpectedLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line))
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    return lines;
}

// A command as the file writes it: refused because its device is not open, or sent as it is; any
// other result shows with its error code so that a difference names it.
std::string AsWritten(const sim::MciCall& call)
{
    if (call.result == MCIERR_INVALID_DEVICE_NAME) return kNotOpen + call.command;
    if (call.result == 0) return call.command;
    return call.command + " (error " + std::to_string(call.result) + ")";
}

using MciExpectationTest = DriveScenario;

}  // namespace

TEST_F(MciExpectationTest, ALeftClickThatOpensTheDoorSendsTheSharedCommands)
{
    const std::vector<std::string> expected = ExpectedLines(EXPECT_DIR "/door_toggle.mci");
    ASSERT_FALSE(expected.empty()) << "cannot read " EXPECT_DIR "/door_toggle.mci";
    AddDrives("d");
    sim::InsertDisc('D', sim::AudioDisc({sim::Frames(4, 12, 33), sim::Frames(3, 1, 10)}));
    size_t mark = 0;
    std::vector<std::string> afterClick, later;
    auto since = [&mark] {
        std::vector<std::string> lines;
        for (size_t i = mark; i < sim::MciLog().size(); ++i) lines.push_back(AsWritten(sim::MciLog()[i]));
        return lines;
    };
    // A few ticks of the poller first, so that the click comes to a program that has settled.
    user.Wait(1500);
    Step([&] { mark = sim::MciLog().size(); });
    user.LeftClickTray();
    Step([&] { afterClick = since(); });
    // With the menu closed the poller sends nothing: the window has no end to race with.
    user.Wait(2000);
    Step([&] { later = since(); });
    EXPECT_EQ(0, RunToExit());
    EXPECT_EQ(expected, afterClick);
    EXPECT_EQ(afterClick, later);
    EXPECT_TRUE(MessageTexts().empty());
}
