#include "sim/SimCommand.h"

#include <gtest/gtest.h>

namespace {

using Kind = SimCommand::Kind;

// A title command line; codes are padded with full-width spaces to 14 characters.
std::string titleLine(const std::string& head, std::string codes)
{
    while (codes.size() < 56)
        codes += "2121";
    return "CA" + head + codes + "\r\n";
}

struct Valid
{
    std::string line;
    Kind kind;
    int channel;
    int position;
    int value;
    std::string title;
};

void PrintTo(const Valid& valid, std::ostream* out)
{
    *out << testing::PrintToString(valid.line);
}

class SimCommandValid : public testing::TestWithParam<Valid>
{
};

TEST_P(SimCommandValid, Parses)
{
    const Valid& expected = GetParam();
    std::string error;
    const auto command = parseSimCommand(expected.line, error);
    ASSERT_TRUE(command) << error;
    EXPECT_EQ(command->kind, expected.kind);
    EXPECT_EQ(command->channel, expected.channel);
    EXPECT_EQ(command->position, expected.position);
    EXPECT_EQ(command->value, expected.value);
    EXPECT_EQ(command->title, expected.title);
}

INSTANTIATE_TEST_SUITE_P(Commands, SimCommandValid,
                         testing::Values(Valid{"P0105\r\n", Kind::Picture, 0, 0, 5, ""},
                                         Valid{"P0201\r\n", Kind::Picture, 1, 0, 1, ""},
                                         Valid{"P0232\r\n", Kind::Picture, 1, 0, 32, ""},
                                         Valid{"WL01058\r\n", Kind::WhiteLevel, 0, 4, 8, ""},
                                         Valid{"WL02120\r\n", Kind::WhiteLevel, 1, 11, 0, ""},
                                         Valid{"WL01329\r\n", Kind::WhiteLevel, 0, 31, 9, ""},
                                         Valid{"VER0132\r\n", Kind::VerticalOffset, 0, 0, 32, ""},
                                         Valid{"VER0200\r\n", Kind::VerticalOffset, 1, 0, 0, ""},
                                         Valid{"VER0263\r\n", Kind::VerticalOffset, 1, 0, 63, ""},
                                         Valid{"HOR0208\r\n", Kind::HorizontalOffset, 1, 0, 8, ""},
                                         Valid{"HOR0115\r\n", Kind::HorizontalOffset, 0, 0, 15,
                                               ""}));

INSTANTIATE_TEST_SUITE_P(
    Titles, SimCommandValid,
    testing::Values(Valid{titleLine("02TOP", "34413B7A"), Kind::Title, 1, 32, 0, "漢字"},
                    Valid{titleLine("01B01", "24222424"), Kind::Title, 0, 0, 0, "あい"},
                    Valid{titleLine("01B09", ""), Kind::Title, 0, 8, 0, ""},
                    Valid{titleLine("01B10", ""), Kind::Title, 0, 9, 0, ""},
                    Valid{titleLine("02B32", "7921"), Kind::Title, 1, 31, 0, "纊"},
                    Valid{titleLine("01B05", "7C7121213441"), Kind::Title, 0, 4, 0, "ⅰ\u3000漢"},
                    Valid{titleLine("01B02", "21213441"), Kind::Title, 0, 1, 0, "\u3000漢"},
                    Valid{titleLine("01TOP",
                                    "2422242424262428242A242B242D242F24312433243524372439243B"),
                          Kind::Title, 0, 32, 0, "あいうえおかきくけこさしすせ"}));

struct Invalid
{
    std::string line;
    std::string error; // part of the reason given
};

void PrintTo(const Invalid& invalid, std::ostream* out)
{
    *out << testing::PrintToString(invalid.line);
}

class SimCommandInvalid : public testing::TestWithParam<Invalid>
{
};

TEST_P(SimCommandInvalid, IsRejectedWithReason)
{
    std::string error;
    EXPECT_FALSE(parseSimCommand(GetParam().line, error));
    EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Framing, SimCommandInvalid,
                         testing::Values(Invalid{"P0105\n", "no CR"},
                                         Invalid{"P0105\r\r\n", "malformed P"},
                                         Invalid{"P01055\r\n", "malformed P"},
                                         Invalid{"P010\r\n", "malformed P"},
                                         Invalid{"\r\n", "unknown"}, Invalid{"GO\r\n", "unknown"},
                                         Invalid{"p0105\r\n", "unknown"},
                                         Invalid{std::string("\0P0105\r\n", 8), "unknown"},
                                         Invalid{" P0105\r\n", "unknown"}));

INSTANTIATE_TEST_SUITE_P(Picture, SimCommandInvalid,
                         testing::Values(Invalid{"P0100\r\n", "out of range: picture 0"},
                                         Invalid{"P0133\r\n", "out of range: picture 33"},
                                         Invalid{"P0005\r\n", "out of range: channel 0"},
                                         Invalid{"P0305\r\n", "out of range: channel 3"},
                                         Invalid{"P1105\r\n", "malformed P"},
                                         Invalid{"P01A5\r\n", "malformed picture"},
                                         Invalid{"P01 5\r\n", "malformed picture"}));

INSTANTIATE_TEST_SUITE_P(WhiteLevel, SimCommandInvalid,
                         testing::Values(Invalid{"WL01330\r\n", "out of range: picture 33"},
                                         Invalid{"WL01008\r\n", "out of range: picture 0"},
                                         Invalid{"WL0105A\r\n", "malformed level"},
                                         Invalid{"WL00058\r\n", "out of range: channel 0"},
                                         Invalid{"WL11058\r\n", "malformed WL"},
                                         Invalid{"WL010588\r\n", "malformed WL"}));

INSTANTIATE_TEST_SUITE_P(Offsets, SimCommandInvalid,
                         testing::Values(Invalid{"VER0164\r\n", "out of range: offset 64"},
                                         Invalid{"HOR0116\r\n", "out of range: offset 16"},
                                         Invalid{"HOR0316\r\n", "out of range: channel 3"},
                                         Invalid{"VER01-1\r\n", "malformed offset"},
                                         Invalid{"VER1132\r\n", "malformed VER"},
                                         Invalid{"HOR018\r\n", "malformed HOR"}));

INSTANTIATE_TEST_SUITE_P(
    Title, SimCommandInvalid,
    testing::Values(Invalid{titleLine("01B01", "").erase(7, 4), "wrong length"},
                    Invalid{titleLine("01B01", "").insert(7, "2121"), "wrong length"},
                    Invalid{titleLine("03B01", ""), "out of range: channel 3"},
                    Invalid{titleLine("00TOP", ""), "out of range: channel 0"},
                    Invalid{titleLine("0xB01", ""), "malformed channel"},
                    Invalid{titleLine("01B00", ""), "out of range: position 0"},
                    Invalid{titleLine("01B33", ""), "out of range: position 33"},
                    Invalid{titleLine("01BOT", ""), "malformed position"},
                    Invalid{titleLine("01Top", ""), "malformed position"},
                    Invalid{titleLine("01B01", "3b7a"), "malformed JIS code"},
                    Invalid{titleLine("01B01", "G121"), "malformed JIS code"},
                    Invalid{titleLine("01B01", "21212F21"), "no character for JIS code 2F21"},
                    Invalid{titleLine("01B01", "7F21"), "no character for JIS code 7F21"},
                    Invalid{titleLine("01B01", "0041"), "no character for JIS code 0041"}));

TEST(SimCommand, DescribesEachKindForTheLog)
{
    std::string error;
    const std::pair<std::string, std::string> cases[] = {
        {"P0212\r\n", "P ch2 picture 12"},
        {"WL02120\r\n", "WL ch2 picture 12 level 0"},
        {"VER0105\r\n", "VER ch1 offset 5"},
        {"HOR0208\r\n", "HOR ch2 offset 8"},
        {titleLine("01B09", "3441"), "CA ch1 B09 \"漢\""},
        {titleLine("02TOP", ""), "CA ch2 TOP \"\""},
    };
    for (const auto& [line, text] : cases)
        EXPECT_EQ(describeSimCommand(*parseSimCommand(line, error)), text);
}

} // namespace
