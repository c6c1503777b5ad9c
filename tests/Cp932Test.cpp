#include "platform/Cp932.h"

#include <gtest/gtest.h>

TEST(Cp932Test, ConvertsBothWaysAndRefusesWhatCp932Lacks)
{
    EXPECT_EQ(ToCp932(QStringLiteral("漢字 Aｱ")), std::string("\x8A\xBF\x8E\x9A"
                                                              " A\xB1"));
    EXPECT_EQ(ToCp932(QString()), std::string());
    EXPECT_EQ(ToCp932(QStringLiteral("漢😀")), std::nullopt);
    EXPECT_EQ(ToCp932(QStringLiteral("한")), std::nullopt);

    EXPECT_EQ(FromCp932("\x8A\xBF\x8E\x9A"), QStringLiteral("漢字"));
    // Bytes that start no character, as a damaged file may hold, are left out.
    EXPECT_EQ(FromCp932("\x8A\xBF\xA0\x82"), QStringLiteral("漢"));
}

TEST(Cp932Test, APrefixEndsOnACharacterBoundary)
{
    const std::string kanji = "\x8A\xBF";
    EXPECT_EQ(Cp932Prefix(kanji + kanji + kanji, 5), kanji + kanji);
    EXPECT_EQ(Cp932Prefix("A" + kanji + kanji, 4), "A" + kanji);
    EXPECT_EQ(Cp932Prefix("AB" + kanji, 3), "AB");
    EXPECT_EQ(Cp932Prefix("AB", 28), "AB");
    EXPECT_EQ(Cp932Prefix("A\x8A", 28), "A") << "a lead byte without its trail byte";
}
