#include "link/CommandFrame.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace {

struct FrameCase
{
    const char* name;
    int rsControl;
    int slaveNo;
    std::optional<std::string> frame; // nullopt: nothing may be sent
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FrameCase& c, std::ostream* out)
{
    *out << c.name;
}

class CommandFrameTest : public testing::TestWithParam<FrameCase>
{
};

TEST_P(CommandFrameTest, PutsTheSlaveNumberInFrontOnlyOnAnRs485Line)
{
    const FrameCase& c = GetParam();
    EXPECT_EQ(MakeCommandFrame("P0101\r\n", c.rsControl, c.slaveNo), c.frame);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, CommandFrameTest,
    testing::Values(
        // RS-232C: the command goes out unchanged, whatever slaveNo holds.
        FrameCase{"Rs232Slave0", 0, 0, "P0101\r\n"}, FrameCase{"Rs232Slave12", 0, 12, "P0101\r\n"},
        FrameCase{"Rs232NoSlaveChosen", 0, -1, "P0101\r\n"},
        FrameCase{"Rs232SlaveOutOfRange", 0, 99, "P0101\r\n"},
        // RS-485: two digits, zero-padded below 10.
        FrameCase{"Rs485Slave0", 1, 0, "00P0101\r\n"},
        FrameCase{"Rs485Slave5", 1, 5, "05P0101\r\n"},
        FrameCase{"Rs485Slave9", 1, 9, "09P0101\r\n"},
        FrameCase{"Rs485Slave10", 1, 10, "10P0101\r\n"},
        FrameCase{"Rs485Slave12", 1, 12, "12P0101\r\n"},
        FrameCase{"Rs485Slave31", 1, 31, "31P0101\r\n"},
        // Any nonzero line mode from an edited profile counts as RS-485.
        FrameCase{"LineMode7IsRs485", 7, 3, "03P0101\r\n"},
        FrameCase{"NegativeLineModeIsRs485", -1, 3, "03P0101\r\n"},
        // No valid prefix, so no frame: an unaddressed command must not reach the line.
        FrameCase{"Rs485NoSlaveChosen", 1, -1, std::nullopt},
        FrameCase{"Rs485Slave32", 1, 32, std::nullopt},
        FrameCase{"Rs485Slave100", 1, 100, std::nullopt}),
    [](const testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.name); });

TEST(CommandFrameLongCommandTest, KeepsEveryByteOfALongCommand)
{
    const std::string title = "CA01" + std::string(120, 'F') + "\r\n";
    EXPECT_EQ(MakeCommandFrame(title, 1, 7), "07" + title);
}

} // namespace
