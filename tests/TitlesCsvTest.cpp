#include "settings/TitlesCsv.h"

#include "platform/Cp932.h"
#include "platform/Utf8.h"
#include "settings/SettingsFileAccess.h"
#include "support/BuildPaths.h"

#include <QFile>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

std::string Cp932(const char* text)
{
    return ToCp932(QString::fromUtf8(text)).value();
}

const std::string Bom(Utf8Bom);

// A file's bytes, and either the cells it gives (any other is absent) or its problem's line.
struct Cell
{
    int channel;
    int position;
    const char* text;
};

struct CsvCase
{
    const char* name;
    std::string bytes;
    std::vector<Cell> cells = {};
    int widened = 0;
    int line = 0;
    const char* what = "";
};

class TitlesCsvReadTest : public testing::TestWithParam<CsvCase>
{
};

TEST_P(TitlesCsvReadTest, TakesTheWholeFileOrNamesItsFirstProblem)
{
    const CsvCase& row = GetParam();
    const auto read = ReadTitlesCsv(row.bytes);
    if (row.line != 0) {
        const auto* problem = std::get_if<TitlesCsvProblem>(&read);
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->line, row.line) << problem->what;
        EXPECT_THAT(problem->what, testing::HasSubstr(row.what));
        return;
    }
    const auto* import = std::get_if<TitlesCsvImport>(&read);
    ASSERT_TRUE(import) << std::get<TitlesCsvProblem>(read).what;
    TitlesCsvImport expected;
    for (const Cell& cell : row.cells)
        expected.titles[cell.channel][cell.position] = Cp932(cell.text);
    EXPECT_EQ(import->titles, expected.titles);
    EXPECT_EQ(import->widened, row.widened);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, TitlesCsvReadTest, testing::Values(
    CsvCase{"Utf8BomHeaderCrLf", Bom + "位置,ch.1,ch.2\r\nBottom 1,漢字,かな\r\nTop,,上\r\n",
            {{0, 0, "漢字"}, {1, 0, "かな"}, {0, 32, ""}, {1, 32, "上"}}},
    CsvCase{"Utf8LfAnyOrderAliasesShortRowNoLastEnd", "B32,三十二,\nBottom1,一\nBottom 2,二,弐",
            {{0, 31, "三十二"}, {1, 31, ""}, {0, 0, "一"}, {0, 1, "二"}, {1, 1, "弐"}}},
    CsvCase{"Cp932HeaderBlankLinesKana",
            Cp932("位置,ch.1,ch.2\r\n\r\nBottom10,能,表示ﾊﾞｽ\r\n\r\n"),
            {{0, 9, "能"}, {1, 9, "表示バス"}}, 1},
    CsvCase{"QuotedCommaQuoteLineBreak",
            "Bottom 3,\"ＡＢ,Ｃ\",\"「\"\"引\"\"」\"\r\nB04,\"改\r\n行\",\r\n",
            {{0, 2, "ＡＢ，Ｃ"}, {1, 2, "「＂引＂」"}, {0, 3, "改　行"}, {1, 3, ""}}, 3},
    CsvCase{"HalfWidthMadeFullWidth", "Top,Ab 1!~,ｶﾞｷﾞﾊﾟｳﾞﾜﾞﾞｱ｡¥\n",
            {{0, 32, "Ａｂ　１！～"}, {1, 32, "ガギパヴワ゛゛ア。￥"}}, 2},
    CsvCase{"LinesCountBreaksInQuotes", "Bottom 1,\"a\nb\",\nTop,x,y,\n", {}, 0, 3,
            "at most 3 cells"},
    CsvCase{"UnknownPosition", "B01,a\nBottom33,b\n", {}, 0, 2, "\"Bottom33\" is no position"},
    CsvCase{"TooLongOnceFullWidth", "B05,ABCDEFGHIJKLMNO\n", {}, 0, 1,
            "ch.1: a title holds at most 28 bytes (14 full-width characters), this one 30"},
    CsvCase{"OutsideCp932", "Top,,漢😀\n", {}, 0, 1, "ch.2: holds U+1F600"},
    CsvCase{"ControlCharacter", "Top,a\x01\n", {}, 0, 1, "ch.1: holds the control character"},
    CsvCase{"GivenTwice", "Top,a\nB01,b\nTop,c\n", {}, 0, 3, "Top is given twice, first on line 1"},
    CsvCase{"QuoteNotClosed", "Top,\"abc\nB01,x\n", {}, 0, 1, "broken quoting"},
    CsvCase{"TextAfterClosingQuote", "Top,\"a\"b\n", {}, 0, 1, "broken quoting"},
    CsvCase{"QuoteInUnquotedField", "B01,x\nTop,a\"b\n", {}, 0, 2, "broken quoting"},
    CsvCase{"NeitherUtf8NorCp932", "B01,x\nTop,\x81\x20\n", {}, 0, 2, "neither UTF-8 nor CP932"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// A fixture's titles written as CSV give the golden file's bytes, and read back, every title
// again, the one with half-width signs made full-width.
class TitlesCsvFileTest : public testing::TestWithParam<std::pair<CsvEncoding, const char*>>
{
};

TEST_P(TitlesCsvFileTest, WritesTheGoldenFileAndReadsItBack)
{
    ResetSettings();
    ASSERT_TRUE(ReadSettingsFileAt(TestDataFolder() + "/titles.dat"));
    const TitleGrid titles = RecordTitles();
    const std::string csv = WriteTitlesCsv(titles, GetParam().first);
    QFile golden(QString::fromStdString(TestDataFolder() + "/" + GetParam().second));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv, golden.readAll().toStdString());

    const auto read = ReadTitlesCsv(csv);
    ASSERT_TRUE(std::holds_alternative<TitlesCsvImport>(read));
    TitleGrid old;
    for (auto& channel : old)
        channel.fill("old");
    TitleGrid expected = titles;
    expected[1][0] = Cp932("Ａ，＂Ｂ＂");
    EXPECT_EQ(MergeTitles(old, std::get<TitlesCsvImport>(read)), expected);
    EXPECT_EQ(std::get<TitlesCsvImport>(read).widened, 1);
}

INSTANTIATE_TEST_SUITE_P(Encodings, TitlesCsvFileTest,
                         testing::Values(std::pair(CsvEncoding::Utf8WithBom, "titles.csv"),
                                         std::pair(CsvEncoding::Cp932, "titles-cp932.csv")));

} // namespace
