#include "editors/TitleCommand.h"
#include "editors/TitleEncoding.h"
#include "settings/DeviceSettings.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <optional>
#include <ostream>
#include <string>

namespace {

std::string repeat(const std::string& text, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

std::string twoBytes(unsigned code)
{
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

struct TitleCase
{
    const char* name;
    int channel;
    int position;
    std::string title; // CP932 bytes
    bool padded;
    std::optional<std::string> command;
};

void PrintTo(const TitleCase& c, std::ostream* out)
{
    *out << c.name;
}

class TitleCommandTest : public testing::TestWithParam<TitleCase>
{
};

} // namespace

TEST_P(TitleCommandTest, PadsAndEncodesATitleOrRejectsIt)
{
    const TitleCase& c = GetParam();
    DeviceSettings.title[c.channel][c.position] = c.title;
    ASSERT_EQ(PadTitle(c.channel, c.position), c.padded ? 1 : 0);
    if (!c.padded)
        return;
    EXPECT_EQ(paddedTitle.size(), 28u);
    EXPECT_EQ(MakeTitleCommand(c.channel, c.position, paddedTitle), c.command);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, TitleCommandTest,
    testing::Values(TitleCase{"KanjiTopOfCh2", 1, 32, "\x8A\xBF\x8E\x9A", true,
                              "CA02TOP34413B7A" + repeat("2121", 12) + "\r\n"},
                    TitleCase{"HiraganaBottom1OfCh1", 0, 0, "\x82\xA0\x82\xA2", true,
                              "CA01B0124222424" + repeat("2121", 12) + "\r\n"},
                    TitleCase{"EmptyBottom10", 0, 9, "", true,
                              "CA01B10" + repeat("2121", 14) + "\r\n"},
                    TitleCase{"Bottom9", 0, 8, "", true, "CA01B09" + repeat("2121", 14) + "\r\n"},
                    TitleCase{"Bottom32", 1, 31, "", true, "CA02B32" + repeat("2121", 14) + "\r\n"},
                    TitleCase{"FourteenCharactersWithoutFiller", 0, 3, repeat("\x82\xA0", 14), true,
                              "CA01B04" + repeat("2422", 14) + "\r\n"},
                    TitleCase{"SmallRomanNumeralOne", 0, 0, "\xFA\x40", true,
                              "CA01B017C71" + repeat("2121", 13) + "\r\n"},
                    TitleCase{"IbmExtensionKanji", 0, 0, "\xFA\x5C", true,
                              "CA01B017921" + repeat("2121", 13) + "\r\n"},
                    TitleCase{"OneHalfWidthCharacter", 0, 0, "A", false, std::nullopt},
                    TitleCase{"TwoHalfWidthCharacters", 0, 0, "AB", true, std::nullopt},
                    TitleCase{"ThirtyBytes", 0, 0, repeat("\x82\xA0", 15), false, std::nullopt},
                    TitleCase{"IbmCodeWithoutCharacter", 0, 0, "\xFA\x7F", true, std::nullopt},
                    TitleCase{"LastIbmCodeWithoutCharacter", 0, 0, "\xFC\x4C", true, std::nullopt}),
    [](const testing::TestParamInfo<TitleCase>& info) { return std::string(info.param.name); });

namespace {

// glibc's conversion of `bytes`, or nothing when it fails or leaves input behind.
std::optional<std::string> iconvConvert(const char* to, const char* from, std::string bytes)
{
    const iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    char output[16];
    char* in = bytes.data();
    size_t inLeft = bytes.size();
    char* out = output;
    size_t outLeft = sizeof output;
    const size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (result == static_cast<size_t>(-1) || inLeft != 0)
        return std::nullopt;
    return std::string(output, out);
}

} // namespace

// For every code that is CP932's own code for its character, the JIS code sent is what glibc's
// EUC-JP-MS makes of that character, less 0x8080. Twins (NEC row 13 and IBM codes of a
// character that CP932 writes elsewhere) fall out by the round trip.
TEST(TitleEncodingTest, AgreesWithGlibcForEveryCharacterThatCp932WritesThisWay)
{
    int compared = 0;
    for (unsigned lead = 0x81; lead <= 0xEF; ++lead) {
        if (lead > 0x9F && lead < 0xE0)
            continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string code = twoBytes(lead << 8 | trail);
            const auto text = iconvConvert("UTF-8", "CP932", code);
            if (!text || iconvConvert("CP932", "UTF-8", *text) != code)
                continue;
            const auto euc = iconvConvert("EUC-JP-MS", "UTF-8", *text);
            if (!euc || euc->size() != 2)
                continue;
            const unsigned expected = (static_cast<unsigned char>((*euc)[0]) << 8 |
                                       static_cast<unsigned char>((*euc)[1])) -
                                      0x8080;
            EXPECT_EQ(TitleCharacterToJis(lead << 8 | trail), expected)
                << std::hex << (lead << 8 | trail);
            ++compared;
        }
    }
    EXPECT_GT(compared, 6900);
}

// Each IBM extension code is sent as the same character's code in the NEC-selected area: glibc
// reads both as one character. Codes without a character in the area are refused.
TEST(TitleEncodingTest, IbmExtensionCodesTakeTheNecSelectedTwinsCode)
{
    int mapped = 0;
    for (unsigned code = 0xFA5C; code <= 0xFCFC; ++code) {
        const auto text = iconvConvert("UTF-8", "CP932", twoBytes(code));
        const std::uint16_t twin = MapIbmExtension(static_cast<std::uint16_t>(code));
        if (!text) {
            EXPECT_EQ(TitleCharacterToJis(static_cast<std::uint16_t>(code)), 0) << std::hex << code;
            continue;
        }
        ASSERT_NE(twin, 0) << std::hex << code;
        EXPECT_EQ(iconvConvert("UTF-8", "CP932", twoBytes(twin)), text) << std::hex << code;
        const std::uint16_t jis = TitleCharacterToJis(static_cast<std::uint16_t>(code));
        EXPECT_TRUE(jis >= 0x7921 && jis <= 0x7C7E) << std::hex << code;
        ++mapped;
    }
    EXPECT_EQ(mapped, 360) << "388 IBM extension characters, 28 of them before 0xFA5C";
}

// Whatever the bytes, a title either makes a whole 65-character command or none.
TEST(TitleEncodingTest, NoTitleMakesACommandOfAnotherLength)
{
    for (unsigned code = 0; code <= 0xFFFF; ++code) {
        const auto command = MakeTitleCommand(1, 32, repeat(twoBytes(code), 14));
        if (command) {
            ASSERT_EQ(command->size(), 65u) << std::hex << code;
            ASSERT_EQ(command->substr(63), "\r\n");
        }
    }
    EXPECT_EQ(MakeTitleCommand(0, 0, "\x82\xA0"), std::nullopt) << "not padded";
}
