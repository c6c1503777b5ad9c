#include "link/ReplyLineGatherer.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Line = std::optional<std::string>;

struct GatherCase
{
    const char* name;
    std::vector<std::string> reads;
    std::vector<Line> lines; // one entry per read: the completed line's text, or nullopt
    int replyPosAfter;
    int replyPosBefore = 0;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const GatherCase& c, std::ostream* out)
{
    *out << c.name;
}

class ReplyLineGathererTest : public testing::TestWithParam<GatherCase>
{
};

TEST_P(ReplyLineGathererTest, CompletesALineOnlyWhenAReadEndsInLf)
{
    const GatherCase& c = GetParam();
    int replyPos = c.replyPosBefore;
    ReplyLineGatherer gatherer(replyPos);
    std::vector<Line> lines;
    for (const std::string& read : c.reads) {
        const char* line = gatherer.append(read.data(), read.size());
        lines.push_back(line ? Line(line) : std::nullopt);
    }
    EXPECT_EQ(lines, c.lines);
    EXPECT_EQ(replyPos, c.replyPosAfter);
}

const std::string A20(20, 'A');

INSTANTIATE_TEST_SUITE_P(
    Reads, ReplyLineGathererTest,
    testing::Values(
        GatherCase{"OneRead", {"GO\r\n"}, {"GO\r\n"}, 0},
        GatherCase{"SplitAfterFirstByte", {"G", "O\r\n"}, {std::nullopt, "GO\r\n"}, 0},
        GatherCase{"SplitBeforeLf", {"GO\r", "\n"}, {std::nullopt, "GO\r\n"}, 0},
        GatherCase{"ByteByByte",
                   {"G", "O", "\r", "\n"},
                   {std::nullopt, std::nullopt, std::nullopt, "GO\r\n"},
                   0},
        GatherCase{"CrLeavesTheLineOpen", {"GO\r"}, {std::nullopt}, 3},
        GatherCase{"TwoRepliesInOneReadAreOneLine", {"GO\r\nGO\r\n"}, {"GO\r\nGO\r\n"}, 0},
        GatherCase{
            "LfInsideAReadDoesNotEndTheLine", {"GO\r\nX", "\n"}, {std::nullopt, "GO\r\nX\n"}, 0},
        GatherCase{"EachLineStartsAfresh", {"MENU\r\n", "GO\r\n"}, {"MENU\r\n", "GO\r\n"}, 0},
        GatherCase{"LfAlone", {"\n"}, {"\n"}, 0},
        GatherCase{"EmptyReadChangesNothing",
                   {"G", "", "O\r\n"},
                   {std::nullopt, std::nullopt, "GO\r\n"},
                   0},
        GatherCase{"BytesPast20AreDropped", {std::string(25, 'A') + "\n"}, {A20}, 0},
        GatherCase{"AFullLineDropsTheReply", {A20, "GO\r\n"}, {std::nullopt, A20}, 0},
        GatherCase{"AnEndlessLineStaysBounded", {std::string(1000, 'A')}, {std::nullopt}, 20},
        GatherCase{"RecoversAfterAnOverlongLine",
                   {std::string(1000, 'A'), "\n", "GO\r\n"},
                   {std::nullopt, A20, "GO\r\n"},
                   0},
        GatherCase{"NulEndsTheLinesText", {std::string("G\0O\r\n", 5)}, {"G"}, 0},
        GatherCase{"NulAfterAReply", {std::string("GO\r\n\0\n", 6)}, {"GO\r\n"}, 0},
        GatherCase{"NulFirst", {std::string("\0GO\r\n", 5)}, {""}, 0},
        GatherCase{"PositionPastTheLineIsClamped", {"GO\r\n"}, {std::string(20, ' ')}, 0, 99},
        GatherCase{"NegativePositionIsClamped", {"GO\r\n"}, {"GO\r\n"}, 0, -5}),
    [](const testing::TestParamInfo<GatherCase>& info) { return std::string(info.param.name); });

TEST(ReplyLineGathererRestartTest, ANewReaderContinuesAPartialLineAfterBlanks)
{
    int replyPos = 0;
    {
        ReplyLineGatherer first(replyPos);
        EXPECT_EQ(first.append("GO", 2), nullptr);
    }
    EXPECT_EQ(replyPos, 2);
    ReplyLineGatherer second(replyPos);
    const char* line = second.append("\r\n", 2);
    ASSERT_NE(line, nullptr);
    EXPECT_STREQ(line, "  \r\n");
    EXPECT_EQ(replyPos, 0);
}

} // namespace
