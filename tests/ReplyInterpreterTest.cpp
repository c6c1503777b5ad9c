#include "link/ReplyInterpreter.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

const BoxRequest Success{"Success", "設定完了", BoxIcon::None, BoxSound::SimpleBeep,
                         BoxOwner::MessageOwner};

struct ReplyCase
{
    const char* name;
    std::string line;
    int rsControl;
    int allSetStep;
    std::optional<BoxRequest> box;
    int replyError;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ReplyCase& c, std::ostream* out)
{
    *out << c.name;
}

class ReplyInterpreterTest : public testing::TestWithParam<ReplyCase>
{
};

TEST_P(ReplyInterpreterTest, ShowsWhatTheDeviceSaidAndSetsReplyError)
{
    const ReplyCase& c = GetParam();
    const ReplyOutcome outcome = InterpretReplyLine(c.line.c_str(), c.rsControl, c.allSetStep);
    EXPECT_EQ(outcome.box, c.box);
    EXPECT_EQ(outcome.replyError, c.replyError);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyInterpreterTest,
    testing::Values(
        ReplyCase{"Rs232Go", "GO\r\n", 0, 0, Success, 0},
        ReplyCase{"Rs232GoWithLfOnly", "GO\n", 0, 0, std::nullopt, 0},
        ReplyCase{"Rs232GoLowerCase", "go\r\n", 0, 0, std::nullopt, 0},
        ReplyCase{"Rs232GoWithoutLf", "GO\r", 0, 0, std::nullopt, 0},
        ReplyCase{"Rs232GoWithPrefixIsNotGo", "05GO\r\n", 0, 0, std::nullopt, 0},
        ReplyCase{"Rs485Go", "05GO\r\n", 1, 0, Success, 0},
        ReplyCase{"Rs485PrefixIsNotCompared", "xyGO\r\n", 1, 0, Success, 0},
        ReplyCase{"Rs485GoWithoutPrefixLosesItsLetters", "GO\r\n", 1, 0, std::nullopt, 0},
        ReplyCase{"LineMode7IsRs485", "31GO\r\n", 7, 0, Success, 0},
        ReplyCase{"Rs485ShortLine", "G", 1, 0, std::nullopt, 0},
        ReplyCase{"Rs485EmptyLine", "", 1, 0, std::nullopt, 0},
        ReplyCase{"Rs232EmptyLine", "", 0, 0, std::nullopt, 0},
        ReplyCase{"GoIsSilentDuringABatch", "GO\r\n", 0, 3, std::nullopt, 0},
        ReplyCase{"ErrorIsShownDuringABatch", "E3\r\n", 0, 3, ErrorBox("Command Error"), 1},
        ReplyCase{"Rs232ModeError", "GN\r\n", 0, 0, ErrorBox("Mode Error"), 1},
        ReplyCase{"Rs232MenuDisplay", "MENU\r\n", 0, 0, ErrorBox("Menu Display"), 1},
        ReplyCase{"Rs232FramingError", "E0\r\n", 0, 0, ErrorBox("Framing Error"), 1},
        ReplyCase{"Rs232ParityError", "E1\r\n", 0, 0, ErrorBox("Parity Error"), 1},
        ReplyCase{"Rs232OverRunError", "E2\r\n", 0, 0, ErrorBox("Over Run Error"), 1},
        ReplyCase{"Rs232CommandError", "E3\r\n", 0, 0, ErrorBox("Command Error"), 1},
        ReplyCase{"Rs485ModeError", "07GN\r\n", 1, 0, ErrorBox("Mode Error"), 1},
        ReplyCase{"Rs485MenuDisplay", "07MENU\r\n", 1, 0, ErrorBox("Menu Display"), 1},
        ReplyCase{"Rs485CommandError", "07E3\r\n", 1, 0, ErrorBox("Command Error"), 1},
        ReplyCase{"UnknownErrorCode", "E4\r\n", 0, 0, std::nullopt, 0},
        ReplyCase{"TwoRepliesInOneLine", "GO\r\nGO\r\n", 0, 0, std::nullopt, 0},
        ReplyCase{"ErrorFollowedByMore", "E3\r\nE3\r\n", 0, 0, std::nullopt, 0}),
    [](const testing::TestParamInfo<ReplyCase>& info) { return std::string(info.param.name); });

TEST(ReplyInterpreterBoxTest, ErrorRepliesUseTheErrorBoxOfTheSendingWindow)
{
    const ReplyOutcome outcome = InterpretReplyLine("GN\r\n", 0, 0);
    ASSERT_TRUE(outcome.box);
    EXPECT_EQ(outcome.box->caption, "Error");
    EXPECT_EQ(outcome.box->icon, BoxIcon::Error);
    EXPECT_EQ(outcome.box->sound, BoxSound::QuestionSound);
    EXPECT_EQ(outcome.box->owner, BoxOwner::MessageOwner);
}

} // namespace
