// The one way to MCI: what a failure shows, and how answers are read.
#include <mmsystem.h>

#include "Rows.h"
#include "Scenario.h"
#include "app/WinMain.h"
#include "drive/Mci.h"
#include "ui/StringTable.h"

namespace {

using MciTest = Scenario;

// A failure reported: the silent ones are the poller's and the door's, whose tests see no box.
struct FailureRow {
    const char* what;
    MCIERROR error;
    int useMciText;
    const char* shown;
};
const FailureRow kFailures[] = {
    {"in the program's words", MCIERR_HARDWARE, 0, "MCI device error."},
    {"in MCI's words", MCIERR_INVALID_DEVICE_NAME, 1, "The specified device is not open or is not recognized by MCI."},
    {"a code MCI has no words for", MCIERR_BASE + 27, 1, "Unrecognized MCI device error."},
};
using MciFailure = Rows<Scenario>;

TEST_P(MciFailure, IsShownInTheWordsAskedFor)
{
    const FailureRow& c = kFailures[GetParam()];
    sim::AddCdDrive('D');
    InitStringTable();
    sim::FailMci("status cdaudio media present", c.error);
    user.AcceptMessageBoxes();
    char answer[MCI_ANSWER_SIZE];
    EXPECT_EQ(0, SendMciCommand("status cdaudio media present", answer, sizeof answer, NULL, 1, c.useMciText));
    ASSERT_EQ(1u, sim::MessageBoxes().size());
    EXPECT_EQ(c.shown, sim::MessageBoxes().at(0).text);
    EXPECT_EQ("Dorvane", sim::MessageBoxes().at(0).caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_SETFOREGROUND), sim::MessageBoxes().at(0).type);
}
ROWS(MciFailure, kFailures);

TEST_F(MciTest, AnswersAreReadAsYesOrNoAndAsMinutesAndSeconds)
{
    for (const char* answer : {"true", "True", "TRUE", "false", "TRUE ", "TRU", "", "truest", "tRUE", "xRUE", "az"}) {
        char text[8];
        snprintf(text, sizeof text, "%s", answer);
        std::string upper = answer;
        for (char& c : upper) c = static_cast<char>(toupper(c));
        EXPECT_EQ(upper == "TRUE", MciAnswerIsTrue(text)) << "\"" << answer << "\"";
        EXPECT_EQ(upper, text) << "upper-cased in place";
    }
    // The fields of a length, as far as the answer has them.
    const std::pair<const char*, const char*> lengths[] = {
        {"04:12:33", "[04|12]"}, {"04:1", "[04|1]"}, {"04:", "[04|]"}, {"4", "[4|]"}, {"", "[|]"}};
    for (auto [answer, fields] : lengths) {
        char text[8] = "[";
        AppendMciField(text, sizeof text, answer, 0, 2);
        AppendMciField(text, sizeof text, "|", 0, 1);
        AppendMciField(text, sizeof text, answer, 3, 2);
        AppendMciField(text, sizeof text, "]", 0, 1);
        EXPECT_STREQ(fields, text) << answer;
    }
    char cut[4] = "";
    AppendMciField(cut, sizeof cut, "12345", 0, 5);
    EXPECT_STREQ("123", cut) << "never past the text's buffer";
}

}  // namespace
