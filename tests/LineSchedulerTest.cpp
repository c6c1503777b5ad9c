#include "send/LineScheduler.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

struct ScheduleCase
{
    const char* name;
    size_t devices;
    std::chrono::milliseconds pace;
    std::function<void(LineScheduler&)> before;
    const char* sends; // "device@ms" of the first sends, with each frame 8 ms on the line
};

class LineSchedulerTest : public testing::TestWithParam<ScheduleCase>
{
};

} // namespace

TEST_P(LineSchedulerTest, SendsToTheNextDueDeviceInTurn)
{
    const ScheduleCase& c = GetParam();
    LineScheduler scheduler(c.devices, c.pace);
    const LineScheduler::Time start;
    c.before(scheduler);
    std::string sends;
    LineScheduler::Time now = start;
    for (int frame = 0; frame < 6; ++frame) {
        const std::optional<size_t> device = scheduler.next(now);
        if (!device) {
            const auto due = scheduler.nextDue();
            if (!due)
                break;
            EXPECT_GT(*due, now) << "the line idles while a device is due";
            now = *due;
            --frame;
            continue;
        }
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now - start);
        sends +=
            (sends.empty() ? "" : " ") + std::to_string(*device) + '@' + std::to_string(ms.count());
        scheduler.sent(*device, now);
        now += 8ms;
    }
    EXPECT_EQ(sends, c.sends);
}

INSTANTIATE_TEST_SUITE_P(
    Schedules, LineSchedulerTest,
    testing::Values(ScheduleCase{"OneDeviceAtItsPace", 1, 60ms, [](LineScheduler&) {},
                                 "0@0 0@60 0@120 0@180 0@240 0@300"},
                    ScheduleCase{"DevicesTakeTurnsWhileEachWaitsOutItsPace", 3, 60ms,
                                 [](LineScheduler&) {}, "0@0 1@8 2@16 0@60 1@68 2@76"},
                    ScheduleCase{"ABusyLineServesOneAfterAnotherWithoutPause", 3, 10ms,
                                 [](LineScheduler&) {}, "0@0 1@8 2@16 0@24 1@32 2@40"},
                    ScheduleCase{"AHeldLineServesNobodyUntilItsHoldEnds", 2, 10ms,
                                 [](LineScheduler& s) { s.hold(LineScheduler::Time(30ms)); },
                                 "0@30 1@38 0@46 1@54 0@62 1@70"},
                    ScheduleCase{"AReleasedLineIsFreeAtOnce", 2, 10ms,
                                 [](LineScheduler& s) {
                                     s.hold(LineScheduler::Time(30ms));
                                     s.release();
                                 },
                                 "0@0 1@8 0@16 1@24 0@32 1@40"},
                    ScheduleCase{"AFinishedDeviceGetsNothing", 3, 20ms,
                                 [](LineScheduler& s) { s.finish(1); },
                                 "0@0 2@8 0@20 2@28 0@40 2@48"},
                    ScheduleCase{"NothingOnceEveryDeviceIsFinished", 1, 20ms,
                                 [](LineScheduler& s) { s.finish(0); }, ""}),
    [](const auto& info) { return std::string(info.param.name); });
