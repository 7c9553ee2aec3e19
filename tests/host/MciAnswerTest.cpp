// Reading MCI's answers: a yes/no answer, and the minutes and seconds fields
// of a length, whatever the answer's length.
#include <gtest/gtest.h>

#include <string>

#include "drive/Mci.h"

namespace {

std::string Fields(const char* answer)
{
    char text[32] = "[";
    AppendMciField(text, sizeof text, answer, 0, 2);
    AppendMciField(text, sizeof text, "|", 0, 1);
    AppendMciField(text, sizeof text, answer, 3, 2);
    AppendMciField(text, sizeof text, "]", 0, 1);
    return text;
}

}  // namespace

TEST(MciAnswerTest, MinutesAndSecondsComeFromWhatTheAnswerHas)
{
    EXPECT_EQ("[04|12]", Fields("04:12:33"));
    EXPECT_EQ("[04|1]", Fields("04:1"));
    EXPECT_EQ("[04|]", Fields("04:"));
    EXPECT_EQ("[4|]", Fields("4"));
    EXPECT_EQ("[|]", Fields(""));
}

TEST(MciAnswerTest, OnlyTrueInAnyCaseIsYes)
{
    for (const char* yes : {"true", "True", "TRUE"}) {
        char answer[8];
        snprintf(answer, sizeof answer, "%s", yes);
        EXPECT_TRUE(MciAnswerIsTrue(answer)) << yes;
    }
    for (const char* no : {"false", "TRUE ", "TRU", "", "truest"}) {
        char answer[8];
        snprintf(answer, sizeof answer, "%s", no);
        EXPECT_FALSE(MciAnswerIsTrue(answer)) << "\"" << no << "\"";
    }
}
