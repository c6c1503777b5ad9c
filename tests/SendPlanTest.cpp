#include "send/SendPlan.h"
#include "settings/DeviceSettings.h"

#include <functional>
#include <gtest/gtest.h>
#include <ostream>

void PrintTo(const PlannedLine& line, std::ostream* out)
{
    *out << line.slave << " " << line.what << " " << ReadableFrame(line.frame.value_or("-")) << " "
         << line.problem;
}

namespace {

struct PlanCase
{
    const char* name;
    std::function<void(SendOptions&)> options;
    std::function<void()> record;
    size_t count;
    std::vector<std::pair<size_t, PlannedLine>> lines;
};

const std::string Blanks = "21212121212121212121212121212121212121212121212121212121";

PlannedLine line(int slave, const std::string& what, const std::string& frame)
{
    return {slave, what, frame, ""};
}

class SendPlanTest : public testing::TestWithParam<PlanCase>
{
protected:
    void SetUp() override { ResetSettings(); }
};

} // namespace

TEST_P(SendPlanTest, ListsTheRecordsLinesInTheWindowToolsOrder)
{
    const PlanCase& c = GetParam();
    SendOptions options;
    c.options(options);
    c.record();
    const std::vector<PlannedLine> plan = BuildSendPlan(options);
    ASSERT_EQ(plan.size(), c.count);
    for (const auto& [index, expected] : c.lines)
        EXPECT_EQ(plan.at(index), expected) << "line " << index;
}

INSTANTIATE_TEST_SUITE_P(
    Plans, SendPlanTest,
    testing::Values(PlanCase{"WholeRecordOnRs232c",
                             [](SendOptions&) {},
                             [] {
                                 DeviceSettings.whiteLevel[1][31] = 7;
                                 DeviceSettings.vOffset[1] = 42;
                             },
                             134,
                             {{0, line(0, "ch.1 title Bottom1", "CA01B01" + Blanks + "\r\n")},
                              {32, line(0, "ch.1 title Top", "CA01TOP" + Blanks + "\r\n")},
                              {65, line(0, "ch.2 title Top", "CA02TOP" + Blanks + "\r\n")},
                              {66, line(0, "ch.1 white level picture 1", "WL01018\r\n")},
                              {130, line(0, "ch.1 vertical offset", "VER0132\r\n")},
                              {131, line(0, "ch.2 vertical offset", "VER0242\r\n")},
                              {133, line(0, "ch.2 horizontal offset", "HOR0208\r\n")}}},
                    PlanCase{"EachSlaveInTurnWithItsPrefixPicturesLast",
                             [](SendOptions& o) {
                                 o.rs485 = true;
                                 o.slaves = {3, 12};
                                 o.titles = o.levels = false;
                                 o.pictures[0] = 4;
                                 o.pictures[1] = 11;
                             },
                             [] {},
                             12,
                             {{0, line(3, "ch.1 vertical offset", "03VER0132\r\n")},
                              {4, line(3, "ch.1 picture 5", "03P0105\r\n")},
                              {5, line(3, "ch.2 picture 12", "03P0212\r\n")},
                              {6, line(12, "ch.1 vertical offset", "12VER0132\r\n")}}}),
    [](const auto& info) { return std::string(info.param.name); });
