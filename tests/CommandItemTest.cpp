#include "ledger/CommandItem.h"
#include "send/SendPlan.h"
#include "settings/DeviceSettings.h"

#include <gtest/gtest.h>
#include <ostream>

namespace {

struct ItemCase
{
    const char* name;
    std::string frame;
    bool rs485;
    std::optional<CommandItem> expected;
};

void PrintTo(const ItemCase& c, std::ostream* out)
{
    *out << c.name;
}

std::string blanks(int characters)
{
    std::string hex;
    for (int i = 0; i < characters; ++i)
        hex += "2121";
    return hex;
}

const std::string Kanji = "34413B7A" + blanks(12); // 漢字 and twelve full-width blanks

class CommandItemTest : public testing::TestWithParam<ItemCase>
{
};

} // namespace

TEST_P(CommandItemTest, NamesTheItemAndValueOfACommandAndNothingElse)
{
    const std::optional<CommandItem> item = NameCommandItem(GetParam().frame, GetParam().rs485);
    ASSERT_EQ(item.has_value(), GetParam().expected.has_value());
    if (!item)
        return;
    EXPECT_EQ(item->item, GetParam().expected->item);
    EXPECT_EQ(item->value, GetParam().expected->value);
    EXPECT_EQ(item->shown, GetParam().expected->shown);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, CommandItemTest,
    testing::Values(
        ItemCase{"Title", "CA01B01" + Kanji + "\r\n", false,
                 CommandItem{"ch.1 title Bottom1", Kanji, "漢字"}},
        ItemCase{"BlankTopTitle", "CA02TOP" + blanks(14) + "\r\n", false,
                 CommandItem{"ch.2 title Top", blanks(14), ""}},
        ItemCase{"WhiteLevel", "WL02327\r\n", false,
                 CommandItem{"ch.2 white level picture 32", "7", "7"}},
        ItemCase{"VerticalOffset", "VER0163\r\n", false,
                 CommandItem{"ch.1 vertical offset", "63", "63"}},
        ItemCase{"HorizontalOffset", "HOR0205\r\n", false,
                 CommandItem{"ch.2 horizontal offset", "05", "5"}},
        ItemCase{"Picture", "P0132\r\n", false, CommandItem{"ch.1 picture", "32", "32"}},
        ItemCase{"Rs485", "31P0105\r\n", true, CommandItem{"ch.1 picture", "05", "5"}},
        ItemCase{"Rs485WithoutSlave", "P0105\r\n", true, std::nullopt},
        ItemCase{"SlaveOutOfRange", "32P0105\r\n", true, std::nullopt},
        ItemCase{"OffsetOutOfRange", "HOR0216\r\n", false, std::nullopt},
        ItemCase{"PictureOutOfRange", "P0133\r\n", false, std::nullopt},
        ItemCase{"NoSuchChannel", "WL03011\r\n", false, std::nullopt},
        ItemCase{"NoLineEnd", "VER0163", false, std::nullopt},
        ItemCase{"TitleBottom33", "CA01B33" + blanks(14) + "\r\n", false, std::nullopt},
        ItemCase{"TitleNotHex", "CA01B01" + blanks(13) + "212g\r\n", false, std::nullopt},
        ItemCase{"TitleTooShort", "CA01B01" + blanks(13) + "\r\n", false, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// The sender names its lines and the ledger their items alike, so that what one wrote the other
// finds.
TEST(CommandItemPlanTest, EveryPlannedFrameIsTheItemThePlanNames)
{
    ResetSettings();
    SendOptions options;
    options.pictures[1] = 4;
    for (const PlannedLine& line : BuildSendPlan(options)) {
        const std::optional<CommandItem> item = NameCommandItem(line.frame.value(), false);
        ASSERT_TRUE(item) << line.what;
        EXPECT_EQ(line.what, item->item == "ch.2 picture" ? item->item + " 5" : item->item);
    }
}
