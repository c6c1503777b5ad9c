#include "link/LinkSupervision.h"
#include "settings/DeviceSettings.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <atomic>
#include <ostream>
#include <thread>

namespace {

class LinkSupervisionFixture
{
protected:
    LinkSupervisionFixture() { NoteReplyLine(); }
    ~LinkSupervisionFixture() { NoteReplyLine(); }

    // Counts n ticks and tells whether any of them reported "No Connect".
    static bool tick(int n)
    {
        bool noConnect = false;
        for (int i = 0; i < n; ++i)
            noConnect = CountNoReplyTick() || noConnect;
        return noConnect;
    }
};

struct TickCase
{
    int tick;       // 1-based tick counted while a reply is awaited
    int ticksAfter; // noReplyTicks after that tick
    bool noConnect;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const TickCase& c, std::ostream* out)
{
    *out << "tick " << c.tick;
}

class LinkSupervisionTickTest : public LinkSupervisionFixture,
                                public testing::TestWithParam<TickCase>
{
};

TEST_P(LinkSupervisionTickTest, ReportsNoConnectOnTheSeventhTickOnly)
{
    const TickCase& c = GetParam();
    NoteCommandSent();
    EXPECT_FALSE(tick(c.tick - 1));
    EXPECT_EQ(DeviceSettings.noReplyTicks, c.tick - 1);
    EXPECT_EQ(CountNoReplyTick(), c.noConnect);
    EXPECT_EQ(DeviceSettings.noReplyTicks, c.ticksAfter);
}

INSTANTIATE_TEST_SUITE_P(Ticks, LinkSupervisionTickTest,
                         testing::Values(TickCase{1, 1, false}, TickCase{2, 2, false},
                                         TickCase{3, 3, false}, TickCase{4, 4, false},
                                         TickCase{5, 5, false}, TickCase{6, 6, false},
                                         TickCase{7, 0, true}),
                         [](const testing::TestParamInfo<TickCase>& info) {
                             return "Tick" + std::to_string(info.param.tick);
                         });

class LinkSupervisionTest : public LinkSupervisionFixture, public testing::Test
{
};

TEST_F(LinkSupervisionTest, TicksHaveNoEffectWhileNoReplyIsAwaited)
{
    EXPECT_FALSE(tick(1000));
    EXPECT_EQ(DeviceSettings.noReplyTicks, 0);
    EXPECT_EQ(DeviceSettings.awaitingReply, 0);
}

TEST_F(LinkSupervisionTest, AReplyAfterSixTicksClearsTheCountAndTheNextSendCountsAfresh)
{
    NoteCommandSent();
    EXPECT_FALSE(tick(6));
    NoteReplyLine();
    EXPECT_EQ(DeviceSettings.noReplyTicks, 0);
    EXPECT_EQ(DeviceSettings.awaitingReply, 0);
    EXPECT_FALSE(tick(3));

    NoteCommandSent();
    EXPECT_FALSE(tick(6));
    EXPECT_TRUE(CountNoReplyTick());
}

TEST_F(LinkSupervisionTest, RepeatedSendsDoNotPostponeNoConnect)
{
    NoteCommandSent();
    EXPECT_FALSE(tick(3));
    NoteCommandSent();
    EXPECT_FALSE(tick(3));
    NoteCommandSent();
    EXPECT_TRUE(CountNoReplyTick());
}

// The window thread sends and ticks while the reader thread takes reply lines. Whatever the
// interleaving, once a reply has been taken nothing may stay counted: a stale count would shorten
// the next command's wait for its reply.
TEST_F(LinkSupervisionTest, AReplyArrivingDuringTicksAlwaysLeavesTheCountAtZero)
{
    std::atomic<bool> done = false;
    std::thread reader([&] {
        while (!done)
            if (DeviceSettings.awaitingReply == 1)
                NoteReplyLine();
    });
    int staleCounts = 0;
    for (int round = 0; round < 1000000; ++round) {
        NoteCommandSent();
        tick(4);
        // Only this thread counts up, so a taken reply must show a zero count here.
        if (DeviceSettings.awaitingReply == 0 && DeviceSettings.noReplyTicks != 0)
            ++staleCounts;
    }
    done = true;
    reader.join();
    EXPECT_EQ(staleCounts, 0);
}

} // namespace

// The modem lines as a port reports them, or nothing as a pseudo-terminal does, and the bytes
// that came without a reply line.
TEST(SilenceReasonsTest, CtsOffAndBytesWithoutALineExplainTheSilence)
{
    const std::string ctsOff =
        "CTS is off: the device is off, or the cable has no handshake lines.";
    const std::string heard = "7 bytes came without a reply line: the device's speed or parity "
                              "may differ from 9600 baud, 8 data bits, even parity, 1 stop bit.";
    const struct
    {
        std::optional<int> lines;
        long long bytes;
        std::vector<std::string> reasons;
    } cases[] = {
        {std::nullopt, 0, {}},
        {TIOCM_CTS | TIOCM_DSR | TIOCM_CD, 0, {}},
        {TIOCM_DSR | TIOCM_DTR | TIOCM_RTS, 0, {ctsOff}},
        {0, 0, {ctsOff}},
        {std::nullopt, 7, {heard}},
        {0, 7, {ctsOff, heard}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SilenceReasons(c.lines, c.bytes), c.reasons) << (c.lines ? *c.lines : -1);
}
