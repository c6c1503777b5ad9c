#include "sim/SimLine.h"

#include <gtest/gtest.h>

namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The replies to everything in bytes, in order.
std::vector<std::string> replies(SimLine& line, std::string_view bytes)
{
    std::vector<std::string> result;
    for (const SimLine::Response& response : line.receive(bytes))
        result.push_back(response.reply);
    return result;
}

using Replies = std::vector<std::string>;

const SimDevice::Channel& channel(const SimLine& line, std::size_t station, std::size_t index)
{
    return line.stations().at(station).device.channels().at(index);
}

TEST(SimLine, Rs232cAnswersAndAppliesEachFrame)
{
    SimLine line({});
    ASSERT_EQ(line.stations().size(), 1u);
    EXPECT_FALSE(line.rs485());
    EXPECT_FALSE(line.stations()[0].slave);

    const auto responses = line.receive("P0105\r\n");
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_EQ(responses[0].reply, "GO\r\n");
    EXPECT_FALSE(responses[0].hangUp);
    EXPECT_EQ(responses[0].log, "P0105\\r\\n  P ch1 picture 5 -> GO");
    EXPECT_EQ(channel(line, 0, 0).picture, 5);
    EXPECT_EQ(line.frames(), 1);
}

TEST(SimLine, GathersFramesAcrossReadsAndSplitsThemAtLf)
{
    SimLine line({});
    EXPECT_TRUE(line.receive("VER01").empty());
    EXPECT_TRUE(line.receive("05\r").empty());
    EXPECT_EQ(replies(line, "\nHOR0203\r\nWL02324\r\nP02"),
              (Replies{"GO\r\n", "GO\r\n", "GO\r\n"}));
    EXPECT_EQ(channel(line, 0, 0).vOffset, 5);
    EXPECT_EQ(channel(line, 0, 1).hOffset, 3);
    EXPECT_EQ(channel(line, 0, 1).whiteLevels[31], 4);
    EXPECT_EQ(line.frames(), 3);
    EXPECT_EQ(replies(line, "07\r\n"), Replies{"GO\r\n"});
    EXPECT_EQ(channel(line, 0, 1).picture, 7);
}

TEST(SimLine, RejectedFramesAnswerE3AndChangeNothing)
{
    SimLine line({});
    const auto responses = line.receive("P0133\r\nP0105\nVER0164\r\nXYZ\r\n\r\n");
    ASSERT_EQ(responses.size(), 5u);
    for (const auto& response : responses)
        EXPECT_EQ(response.reply, "E3\r\n");
    EXPECT_EQ(responses[0].log, "P0133\\r\\n  E3: out of range: picture 33");
    EXPECT_EQ(responses[1].log, "P0105\\n  E3: malformed: no CR before LF");
    EXPECT_EQ(channel(line, 0, 0).picture, 1);
    EXPECT_EQ(channel(line, 0, 0).vOffset, 32);
    EXPECT_EQ(line.frames(), 5);
}

TEST(SimLine, GarbageIsEscapedInTheLogAndAnsweredE3)
{
    SimLine line({});
    const auto responses = line.receive(std::string_view("\0\xff\x01\\ok\r\n", 8));
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_EQ(responses[0].reply, "E3\r\n");
    EXPECT_EQ(responses[0].log, "\\x00\\xFF\\x01\\\\ok\\r\\n  E3: unknown command");
}

TEST(SimLine, OverlongFrameIsDroppedAndAnsweredE3AtItsLf)
{
    SimLine line({});
    const auto dropped = line.receive(std::string(SimLine::MaxFrame + 100, 'A'));
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].reply, "");
    EXPECT_TRUE(contains(dropped[0].log, "dropping"));
    EXPECT_TRUE(line.receive(std::string(5000, 'B')).empty());

    const auto answered = line.receive("P0105\r\nP0106\r\n");
    ASSERT_EQ(answered.size(), 2u);
    EXPECT_EQ(answered[0].reply, "E3\r\n");
    EXPECT_TRUE(contains(answered[0].log, "E3: frame longer than 512 bytes"));
    EXPECT_LT(answered[0].log.size(), 2 * SimLine::MaxFrame);
    EXPECT_EQ(answered[1].reply, "GO\r\n");
    EXPECT_EQ(channel(line, 0, 0).picture, 6);
}

TEST(SimLine, FrameOfExactlyTheLimitIsStillRead)
{
    SimLine line({});
    const auto responses = line.receive(std::string(SimLine::MaxFrame, 'A') + "\n");
    ASSERT_EQ(responses.size(), 1u);
    EXPECT_TRUE(contains(responses[0].log, "E3: malformed: no CR"));
}

TEST(SimLine, Rs485RoutesByPrefixAndOnlyTheAddressedSlaveAnswers)
{
    SimLine line({0, 3, 12});
    EXPECT_TRUE(line.rs485());
    ASSERT_EQ(line.stations().size(), 3u);
    EXPECT_EQ(line.stations()[1].slave, 3);

    const auto responses = line.receive("03P0212\r\n05P0101\r\nP0101\r\n12WL01019\r\n00P0132\r\n");
    ASSERT_EQ(responses.size(), 5u);
    EXPECT_EQ(responses[0].reply, "03GO\r\n");
    EXPECT_EQ(responses[0].log, "03P0212\\r\\n  slave 03 P ch2 picture 12 -> GO");
    EXPECT_EQ(responses[1].reply, "");
    EXPECT_TRUE(contains(responses[1].log, "ignored: not for this line's slaves"));
    EXPECT_EQ(responses[2].reply, "");
    EXPECT_TRUE(contains(responses[2].log, "ignored: no slave number"));
    EXPECT_EQ(responses[3].reply, "12GO\r\n");
    EXPECT_EQ(responses[4].reply, "00GO\r\n");

    EXPECT_EQ(channel(line, 1, 1).picture, 12);
    EXPECT_EQ(channel(line, 0, 1).picture, 1);
    EXPECT_EQ(channel(line, 2, 1).picture, 1);
    EXPECT_EQ(channel(line, 2, 0).whiteLevels[0], 9);
    EXPECT_EQ(channel(line, 0, 0).picture, 32);
    EXPECT_EQ(line.frames(), 5);
}

TEST(SimLine, Rs485ErrorsCarryThePrefix)
{
    SimLine line({3});
    EXPECT_EQ(replies(line, "03P0199\r\n03\r\n03P0105\n"),
              (Replies{"03E3\r\n", "03E3\r\n", "03E3\r\n"}));
    EXPECT_EQ(replies(line, "03" + std::string(SimLine::MaxFrame, 'x') + "\n"),
              (Replies{"", "03E3\r\n"}));
    EXPECT_EQ(replies(line, "3\r\n\n"), (Replies{"", ""}));
}

TEST(SimLine, ErrorOnAnswersThatFrameE3WithoutApplyingIt)
{
    SimFaults faults;
    faults.errorOn = 2;
    SimLine line({}, faults);
    const auto responses = line.receive("P0102\r\nP0103\r\nP0104\r\n");
    ASSERT_EQ(responses.size(), 3u);
    EXPECT_EQ(responses[0].reply, "GO\r\n");
    EXPECT_EQ(responses[1].reply, "E3\r\n");
    EXPECT_TRUE(contains(responses[1].log, "P ch1 picture 3 -> E3"));
    EXPECT_EQ(responses[2].reply, "GO\r\n");
    EXPECT_EQ(channel(line, 0, 0).picture, 4);

    SimLine counted({1}, faults);
    EXPECT_EQ(replies(counted, "05P0102\r\n01P0102\r\n01P0103\r\n"),
              (Replies{"", "01E3\r\n", "01GO\r\n"}));
}

TEST(SimLine, ReplyOverrideAnswersWellFormedCommandsWithoutApplyingThem)
{
    SimFaults faults;
    faults.reply = "GN";
    SimLine line({7}, faults);
    EXPECT_EQ(replies(line, "07P0105\r\n07P0199\r\n"), (Replies{"07GN\r\n", "07E3\r\n"}));
    EXPECT_EQ(channel(line, 0, 0).picture, 1);

    faults.reply = "GO";
    SimLine sameAsDevice({}, faults);
    EXPECT_EQ(replies(sameAsDevice, "P0105\r\n"), Replies{"GO\r\n"});
    EXPECT_EQ(channel(sameAsDevice, 0, 0).picture, 5);
}

TEST(SimLine, SilentLineAppliesButNeverAnswers)
{
    SimFaults faults;
    faults.silent = true;
    SimLine line({}, faults);
    const auto responses = line.receive("P0105\r\nbad\r\n");
    ASSERT_EQ(responses.size(), 2u);
    EXPECT_EQ(responses[0].reply, "");
    EXPECT_EQ(responses[1].reply, "");
    EXPECT_TRUE(contains(responses[0].log, "(silent)"));
    EXPECT_EQ(channel(line, 0, 0).picture, 5);
}

TEST(SimLine, HangUpAfterTakesNothingBeyondThatFrame)
{
    SimFaults faults;
    faults.hangUpAfter = 2;
    SimLine line({}, faults);
    const auto first = line.receive("P0102\r\n");
    ASSERT_EQ(first.size(), 1u);
    EXPECT_FALSE(first[0].hangUp);

    const auto rest = line.receive("P0103\r\nP0104\r\n");
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_TRUE(rest[0].hangUp);
    EXPECT_EQ(rest[0].reply, "GO\r\n");
    EXPECT_TRUE(contains(rest[0].log, "hanging up"));
    EXPECT_TRUE(line.receive("P0105\r\n").empty());
    EXPECT_EQ(channel(line, 0, 0).picture, 3);
    EXPECT_EQ(line.frames(), 2);
}

} // namespace
