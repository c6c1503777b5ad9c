#include "link/ReplyLineGatherer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

struct GatherCase
{
    const char* name;
    std::vector<std::string> reads;
    Lines lines; // every line completed, in order
    int replyPosAfter;
    long long bytesWithoutLine = 0;
    int replyPosBefore = 0;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const GatherCase& c, std::ostream* out)
{
    *out << c.name;
}

Lines gather(ReplyLineGatherer& gatherer, const std::vector<std::string>& reads)
{
    Lines lines;
    for (const std::string& read : reads)
        gatherer.append(read.data(), read.size(),
                        [&lines](const char* line) { lines.emplace_back(line); });
    return lines;
}

class ReplyLineGathererTest : public testing::TestWithParam<GatherCase>
{
};

TEST_P(ReplyLineGathererTest, CompletesALineAtEachLf)
{
    const GatherCase& c = GetParam();
    int replyPos = c.replyPosBefore;
    ReplyLineGatherer gatherer(replyPos);
    EXPECT_EQ(gather(gatherer, c.reads), c.lines);
    EXPECT_EQ(replyPos, c.replyPosAfter);
    EXPECT_EQ(gatherer.bytesWithoutLine(), c.bytesWithoutLine);
}

const std::string A20(20, 'A');

INSTANTIATE_TEST_SUITE_P(
    Reads, ReplyLineGathererTest,
    testing::Values(
        GatherCase{"OneRead", {"GO\r\n"}, {"GO\r\n"}, 0},
        GatherCase{"CrLeavesTheLineOpen", {"GO\r"}, {}, 3, 3},
        GatherCase{"TwoRepliesInOneReadAreTwoLines", {"GO\r\nE3\r\n"}, {"GO\r\n", "E3\r\n"}, 0},
        GatherCase{"AReadEndsOneLineAndStartsTheNext",
                   {"05GO\r\n0", "3E3\r\n"},
                   {"05GO\r\n", "03E3\r\n"},
                   0},
        GatherCase{"LfAlone", {"\n"}, {"\n"}, 0},
        GatherCase{"EmptyReadChangesNothing", {"G", "", "O\r\n"}, {"GO\r\n"}, 0},
        GatherCase{"BytesPast20AreDroppedButCounted", {std::string(25, 'A') + "\n"}, {A20}, 0},
        GatherCase{"AnEndlessLineStaysBoundedAndIsCounted",
                   {std::string(1000, 'A'), std::string(1000, 'A')},
                   {},
                   20,
                   2000},
        GatherCase{"RecoversAfterAnOverlongLine",
                   {std::string(1000, 'A'), "\n", "GO\r\n"},
                   {A20, "GO\r\n"},
                   0},
        GatherCase{"NulEndsTheLinesText", {std::string("G\0O\r\n", 5)}, {"G"}, 0},
        GatherCase{"PositionPastTheLineIsClamped", {"GO\r\n"}, {std::string(20, ' ')}, 0, 0, 99},
        GatherCase{"NegativePositionIsClamped", {"GO\r\n"}, {"GO\r\n"}, 0, 0, -5}),
    [](const testing::TestParamInfo<GatherCase>& info) { return std::string(info.param.name); });

// A UART hands a reply over in pieces of any size: every way of cutting the bytes of two RS-485
// replies into three reads, a byte at a time included, gives the same two lines.
TEST(ReplyLineGathererSplitTest, RepliesCutAnywhereGiveTheSameLines)
{
    const std::string bytes = "05GO\r\n12MENU\r\n";
    for (size_t first = 0; first <= bytes.size(); ++first)
        for (size_t second = first; second <= bytes.size(); ++second) {
            int replyPos = 0;
            ReplyLineGatherer gatherer(replyPos);
            const Lines lines = gather(gatherer, {bytes.substr(0, first),
                                                  bytes.substr(first, second - first),
                                                  bytes.substr(second)});
            EXPECT_EQ(lines, (Lines{"05GO\r\n", "12MENU\r\n"})) << first << ' ' << second;
        }
    int replyPos = 0;
    ReplyLineGatherer gatherer(replyPos);
    std::vector<std::string> byteWise;
    for (const char byte : bytes)
        byteWise.emplace_back(1, byte);
    EXPECT_EQ(gather(gatherer, byteWise), (Lines{"05GO\r\n", "12MENU\r\n"}));
}

TEST(ReplyLineGathererRestartTest, ANewReaderContinuesAPartialLineAfterBlanksAndRestartForgetsIt)
{
    int replyPos = 0;
    {
        ReplyLineGatherer first(replyPos);
        EXPECT_TRUE(gather(first, {"GO"}).empty());
    }
    EXPECT_EQ(replyPos, 2);
    ReplyLineGatherer second(replyPos);
    EXPECT_EQ(gather(second, {"\r\n"}), Lines{"  \r\n"});
    EXPECT_EQ(gather(second, {"xx"}), Lines{});
    second.restart();
    EXPECT_EQ(second.bytesWithoutLine(), 0);
    EXPECT_EQ(gather(second, {"GO\r\n"}), Lines{"GO\r\n"});
}

} // namespace
