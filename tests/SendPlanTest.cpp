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
    // Lines by position in the plan; a line without frame is skipped.
    std::vector<std::pair<size_t, PlannedLine>> lines;
};

void PrintTo(const PlanCase& c, std::ostream* out)
{
    *out << c.name;
}

std::string blanks()
{
    std::string text;
    for (int k = 0; k < 14; ++k)
        text += "2121";
    return text;
}

const std::string Blanks = blanks();

PlannedLine line(int slave, const std::string& what, const std::string& frame)
{
    return {slave, what, frame, ""};
}

PlannedLine skipped(int slave, const std::string& what, const std::string& problem)
{
    return {slave, what, std::nullopt, problem};
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
                                 DeviceSettings.hOffset[0] = 9;
                             },
                             134,
                             {{0, line(0, "ch.1 title Bottom1", "CA01B01" + Blanks + "\r\n")},
                              {31, line(0, "ch.1 title Bottom32", "CA01B32" + Blanks + "\r\n")},
                              {32, line(0, "ch.1 title Top", "CA01TOP" + Blanks + "\r\n")},
                              {33, line(0, "ch.2 title Bottom1", "CA02B01" + Blanks + "\r\n")},
                              {65, line(0, "ch.2 title Top", "CA02TOP" + Blanks + "\r\n")},
                              {66, line(0, "ch.1 white level picture 1", "WL01018\r\n")},
                              {98, line(0, "ch.2 white level picture 1", "WL02018\r\n")},
                              {129, line(0, "ch.2 white level picture 32", "WL02327\r\n")},
                              {130, line(0, "ch.1 vertical offset", "VER0132\r\n")},
                              {131, line(0, "ch.2 vertical offset", "VER0242\r\n")},
                              {132, line(0, "ch.1 horizontal offset", "HOR0109\r\n")},
                              {133, line(0, "ch.2 horizontal offset", "HOR0208\r\n")}}},
                    PlanCase{"EachSlaveInTurnWithItsPrefix",
                             [](SendOptions& o) {
                                 o.slaves = {3, 12};
                                 o.titles = o.levels = false;
                             },
                             [] {},
                             8,
                             {{0, line(3, "ch.1 vertical offset", "03VER0132\r\n")},
                              {3, line(3, "ch.2 horizontal offset", "03HOR0208\r\n")},
                              {4, line(12, "ch.1 vertical offset", "12VER0132\r\n")}}},
                    PlanCase{"PicturesComeLast",
                             [](SendOptions& o) {
                                 o.titles = o.offsets = false;
                                 o.pictures[0] = 4;
                                 o.pictures[1] = 11;
                             },
                             [] {},
                             66,
                             {{63, line(0, "ch.2 white level picture 32", "WL02328\r\n")},
                              {64, line(0, "ch.1 picture 5", "P0105\r\n")},
                              {65, line(0, "ch.2 picture 12", "P0212\r\n")}}},
                    PlanCase{"RejectedTitlesAndDamagedValuesAreSkipped",
                             [](SendOptions& o) { o.slaves = {0}; },
                             [] {
                                 DeviceSettings.title[0][4] = "\xFA\x7F";
                                 DeviceSettings.title[1][32] = "A";
                                 DeviceSettings.whiteLevel[0][0] = 10;
                                 DeviceSettings.hOffset[1] = 16;
                             },
                             134,
                             {{4, skipped(0, "ch.1 title Bottom5", NotJisText)},
                              {5, line(0, "ch.1 title Bottom6", "00CA01B06" + Blanks + "\r\n")},
                              {65, skipped(0, "ch.2 title Top", NotJisText)},
                              {66, skipped(0, "ch.1 white level picture 1", "value out of range")},
                              {133, skipped(0, "ch.2 horizontal offset", "value out of range")}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadableFrameTest, ShowsLineEndsAndControlBytes)
{
    EXPECT_EQ(ReadableFrame("03P0105\r\n"), "03P0105\\r\\n");
    EXPECT_EQ(ReadableFrame(std::string("a\\\x01\x00\xFF", 5)), "a\\\\\\x01\\x00\\xFF");
}
