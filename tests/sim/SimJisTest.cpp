#include "sim/SimJis.h"

#include <gtest/gtest.h>

namespace {

// The tool's Shift_JIS to JIS rule, written out independently to check the inverse against.
std::uint16_t shiftJisToJis(std::uint16_t sjis)
{
    const unsigned lead = sjis >> 8;
    const unsigned trail = sjis & 0xFF;
    const unsigned index = lead <= 0x9F ? lead - 0x81 : lead - 0xC1;
    if (trail >= 0x9F)
        return static_cast<std::uint16_t>((2 * index + 0x22) << 8 | (trail - 0x7E));
    return static_cast<std::uint16_t>((2 * index + 0x21) << 8 |
                                      (trail < 0x80 ? trail - 0x1F : trail - 0x20));
}

TEST(SimJis, ShiftJisOfKnownCodes)
{
    const std::pair<std::uint16_t, std::uint16_t> cases[] = {
        {0x2121, 0x8140}, {0x3441, 0x8ABF}, {0x3B7A, 0x8E9A}, {0x2422, 0x82A0},
        {0x215F, 0x817E}, {0x2160, 0x8180}, {0x5E7E, 0x9FFC}, {0x5F21, 0xE040},
        {0x7921, 0xED40}, {0x7C71, 0xEEEF}, {0x7C7E, 0xEEFC}, {0x7E7E, 0xEFFC},
    };
    for (const auto& [jis, sjis] : cases)
        EXPECT_EQ(jisToShiftJis(jis), sjis) << std::hex << jis;
}

TEST(SimJis, RejectsBytesOutsideJisX0208)
{
    for (const std::uint16_t jis : {0x0000, 0x2020, 0x2120, 0x217F, 0x7F21, 0x2A00, 0xA1A1})
        EXPECT_FALSE(jisToShiftJis(jis)) << std::hex << jis;
}

TEST(SimJis, UndoesTheToolsConversionForEveryCode)
{
    for (unsigned high = 0x21; high <= 0x7E; ++high) {
        for (unsigned low = 0x21; low <= 0x7E; ++low) {
            const auto jis = static_cast<std::uint16_t>(high << 8 | low);
            const auto sjis = jisToShiftJis(jis);
            ASSERT_TRUE(sjis);
            ASSERT_EQ(shiftJisToJis(*sjis), jis) << std::hex << jis;
        }
    }
}

TEST(SimJis, DecodesToUtf8)
{
    // Row 13 holds NEC special characters; 7921 and 7C71 are what the tool sends for the IBM
    // extension kanji 0xFA5C and the small Roman numeral 0xFA40.
    const std::pair<std::uint16_t, const char*> cases[] = {
        {0x3441, "漢"}, {0x3B7A, "字"}, {0x2422, "あ"}, {0x2424, "い"}, {0x2121, "\u3000"},
        {0x2D21, "①"},  {0x7921, "纊"}, {0x7C71, "ⅰ"},  {0x7C7E, "＂"},
    };
    for (const auto& [jis, text] : cases)
        EXPECT_EQ(jisToUtf8(jis), text) << std::hex << jis;
}

TEST(SimJis, CodesWithoutCharacterDecodeToNothing)
{
    // Row 15 is empty, rows 93 and 94 have no code page 932 characters.
    for (const std::uint16_t jis : {0x2F21, 0x7D21, 0x7E7E, 0x7F21})
        EXPECT_FALSE(jisToUtf8(jis)) << std::hex << jis;
}

} // namespace
