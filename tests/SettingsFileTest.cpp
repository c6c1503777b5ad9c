#include "settings/SettingsFile.h"
#include "settings/DeviceSettings.h"
#include "settings/SettingsFileAccess.h"
#include "support/BuildPaths.h"
#include "support/ChildProcess.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string Kan = "\x8a\xbf"; // 漢 in CP932
const std::string FullBlank = "\x81\x40";
const std::string Utf8 = "\xe3\x81\x82\xe3\x81\x82\xe3\x81\x82\xe3\x81\x82"; // ああああ in UTF-8

std::string Repeat(const std::string& text, int times)
{
    std::string repeated;
    while (times-- > 0)
        repeated += text;
    return repeated;
}

std::string Lines(const std::vector<std::string>& lines, const std::string& end = "\r\n")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

// `head`, then "t<first>" to "t<last>".
std::vector<std::string> Numbered(std::vector<std::string> head, int first, int last)
{
    for (int i = first; i <= last; ++i)
        head.push_back("t" + std::to_string(i));
    return head;
}

std::string Slurp(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return "none";
    return file.readAll().toStdString();
}

class SettingsFileTest : public testing::Test
{
public:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        chmod(folder.path().toLocal8Bit(), 0755); // nobody may look inside
        // Every integer 7 and every title "old", so that what a read leaves alone shows.
        ReadSettingsFile(Repeat("7\n", 68) + Repeat("old\n", 66));
    }
    void TearDown() override { ResetSettings(); }

    std::string path(const char* name) const { return folder.filePath(name).toStdString(); }
    std::string write(const char* name, const std::string& bytes) const
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }
    QStringList listing() const
    {
        QStringList names;
        QDirIterator entries(folder.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                             QDirIterator::Subdirectories);
        while (entries.hasNext())
            names << entries.next();
        names.sort();
        return names;
    }

    QTemporaryDir folder;
};

// Loading a golden file (or none: the defaults right after start-up) and saving it gives the
// expected bytes.
class GoldenFileTest : public SettingsFileTest,
                       public testing::WithParamInterface<std::pair<const char*, const char*>>
{
};

TEST_P(GoldenFileTest, SavingWhatWasLoadedGivesTheExpectedBytes)
{
    const auto [input, expected] = GetParam();
    const std::string data = TestDataFolder() + "/";
    ResetSettings();
    if (*input) {
        ASSERT_TRUE(ReadSettingsFileAt(data + input));
    }
    ASSERT_TRUE(WriteSettingsFileAt(path("saved.dat")));
    EXPECT_EQ(Slurp(path("saved.dat")), Slurp(data + expected));
}

INSTANTIATE_TEST_SUITE_P(
    Files, GoldenFileTest,
    testing::Values(std::pair("", "defaults.dat"), std::pair("japanese.dat", "japanese.dat"),
                    std::pair("japanese-lf.dat", "japanese.dat"),
                    std::pair("japanese-utf8.dat", "japanese.dat"),
                    std::pair("windows-blanks.dat", "windows-blanks-saved.dat")));

// Foreign and damaged files are read token by token, those of 134 lines line by line. `ints` and
// `titles` are the leading lines the record then saves as; the later integers keep 7 and the
// later titles are empty.
struct Foreign
{
    const char* name;
    std::string text;
    std::vector<std::string> ints;
    std::vector<std::string> titles;
};

const std::vector<std::string> Ones(68, "1");
const std::string OnesFile = Repeat("1\n", 68);

class ForeignFileTest : public SettingsFileTest, public testing::WithParamInterface<Foreign>
{
};

TEST_P(ForeignFileTest, ReadsAsTheTokensFall)
{
    ReadSettingsFile(GetParam().text);
    std::vector<std::string> lines = GetParam().ints;
    lines.resize(68, "7");
    lines.insert(lines.end(), GetParam().titles.begin(), GetParam().titles.end());
    lines.resize(134, "s");
    EXPECT_EQ(WriteSettingsFile(), Lines(lines));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, ForeignFileTest, testing::Values(
    Foreign{"Empty", "", {}, {}},
    Foreign{"OneLine", "5", {"5"}, {}},
    Foreign{"EndsEarly", "1\r\n2\r\n3\r\n4\r\n9\r\nA\r\n", {"1", "2", "3", "4", "9"}, {"A"}},
    Foreign{"FirstLineNoNumber", "abc\r\n5\r\nx\r\n", {}, {"abc", "5", "x"}},
    Foreign{"SignWithoutDigits", "-\r\n+x\r\n", {}, {"-", "+x"}},
    Foreign{"NegativeAndHuge", "-5\n2147483647\n-2147483648\n99999999999\n-99999999999\n+4\n007",
            {"-5", "2147483647", "-2147483648", "2147483647", "-2147483648", "4", "7"}, {}},
    Foreign{"CrOnly", "1\r2\rAB\rCD\r", {"1", "2"}, {"AB", "CD"}},
    Foreign{"OneLetterS", OnesFile + "s\nS\nss\n", Ones, {"s", "S", "ss"}},
    Foreign{"BlankInsideMovesLaterTitlesOn", OnesFile + Lines(Numbered({"t0", "a b"}, 2, 66)),
            Ones, Numbered({"t0", "a", "b"}, 2, 64)},
    Foreign{"OnlyBlanksMovesLaterTitlesBack", OnesFile + Lines(Numbered({"t0", " \t "}, 2, 66)),
            Ones, Numbered({"t0"}, 2, 66)},
    Foreign{"In134LinesABlankInsideKeepsItsPlace",
            OnesFile + Lines(Numbered({"t0", "a b", " \t ", "", "s"}, 5, 65)), Ones,
            Numbered({"t0", "a" + FullBlank + "b", Repeat(FullBlank, 3), "s", "s"}, 5, 65)},
    Foreign{"LongTokenCutBetweenCharacters", OnesFile + "AB" + Repeat(Kan, 17) + "\nnext", Ones,
            {"AB" + Repeat(Kan, 15), "next"}},
    Foreign{"Utf8MadeCp932CutTo28Bytes", OnesFile + "漢😀字\n" + Repeat(Utf8, 4) + "\n", Ones,
            {Kan + "\x81\x48\x8e\x9a", Repeat("\x82\xa0", 14)}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// Whatever a title holds, its line reads back as one token, so every later title keeps its place.
class UnsafeTitleTest : public SettingsFileTest,
                        public testing::WithParamInterface<std::pair<std::string, std::string>>
{
};

TEST_P(UnsafeTitleTest, IsWrittenAsOneToken)
{
    DeviceSettings.title[0][5] = GetParam().first;
    const std::string file = WriteSettingsFile();
    ResetSettings();
    ReadSettingsFile(file);
    EXPECT_EQ(DeviceSettings.title[0][5], GetParam().second);
    EXPECT_EQ(DeviceSettings.title[0][6], "old");
    EXPECT_EQ(DeviceSettings.title[1][32], "old");
}

INSTANTIATE_TEST_SUITE_P(
    Titles, UnsafeTitleTest,
    testing::Values(std::pair("A B", "A" + FullBlank + "B"),
                    std::pair(" A\t", FullBlank + "A" + FullBlank),
                    std::pair("A\r\nB", "A" + FullBlank + FullBlank + "B"),
                    std::pair(std::string(17, ' '), Repeat(FullBlank, 16)),
                    std::pair("\x81 ", "\x81" + FullBlank), // a lead byte before a blank
                    std::pair("\x95\x5c \x8e\xa6", "\x95\x5c" + FullBlank + "\x8e\xa6"),
                    std::pair(Repeat(Kan, 17), Repeat(Kan, 16)),
                    std::pair("\xC3\xB2", "\xC3\xB2"))); // half-width katakana that pair as UTF-8

// Strict reading: a file fit to send, or its first wrong line and why; the record takes only
// the former. `line` is 0 for a file that is taken.
struct StrictCase
{
    const char* name;
    std::string text;
    int line = 0;
    std::string what;
};

std::vector<std::string> Sendable(int count = 134)
{
    std::vector<std::string> lines = Numbered(std::vector<std::string>(68, "1"), 0, 65);
    lines[69] = "a b";
    lines.resize(count, "t");
    return lines;
}

std::string SendableWith(size_t line, const std::string& text)
{
    std::vector<std::string> lines = Sendable();
    lines[line - 1] = text;
    return Lines(lines);
}

class StrictReadTest : public SettingsFileTest, public testing::WithParamInterface<StrictCase>
{
};

const std::string NotCp932 = "the title is not Shift_JIS (CP932) text; ";

TEST_P(StrictReadTest, TakesOnlyAFileFitToSend)
{
    const std::string old = WriteSettingsFile();
    const std::optional<SettingsFileProblem> problem = ReadSettingsFileStrict(GetParam().text);
    if (GetParam().line == 0) {
        ASSERT_FALSE(problem) << problem->line << ": " << problem->what;
        std::vector<std::string> saved = Sendable();
        saved[69] = "a" + FullBlank + "b";
        EXPECT_EQ(WriteSettingsFile(), Lines(saved));
    } else {
        ASSERT_TRUE(problem);
        EXPECT_EQ(problem->line, GetParam().line);
        EXPECT_NE(problem->what.find(GetParam().what), std::string::npos) << problem->what;
        EXPECT_EQ(WriteSettingsFile(), old);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, StrictReadTest, testing::Values(
    StrictCase{"BlankInsideATitle", Lines(Sendable()), 0, ""},
    StrictCase{"LfOnly", Lines(Sendable(), "\n"), 0, ""},
    StrictCase{"CrOnlyLastLineWithoutEnd", Lines(Sendable(133), "\r") + "t65", 0, ""},
    StrictCase{"Empty", "", 1, "empty"},
    StrictCase{"Lines133", Lines(Sendable(133)), 133, "134 lines, this one 133"},
    StrictCase{"Lines135", Lines(Sendable(135)), 135, "past line 134"},
    StrictCase{"Bom", "\xEF\xBB\xBF" + Lines(Sendable()), 1, "byte order mark"},
    StrictCase{"Nul", SendableWith(70, std::string("t\0", 2)), 70, "NUL"},
    StrictCase{"OutOfRange", SendableWith(3, "16"), 3, "a horizontal offset is 0 to 15, not \"16\""},
    StrictCase{"NoNumber", SendableWith(68, "8 "), 68, "a white level is 0 to 9, not \"8 \""},
    StrictCase{"Title29Bytes", SendableWith(134, "A" + Repeat(Kan, 14)), 134, "28 bytes, this one 29"},
    StrictCase{"BlanksMakeTheTitleTooLong", SendableWith(69, Repeat(Kan, 13) + " A"), 69,
               "this one 29"},
    StrictCase{"Utf8Title", SendableWith(70, "テスト"), 70, NotCp932 + "the file looks like UTF-8"},
    StrictCase{"Utf8TitleThatReadsAsHalfWidthCp932", SendableWith(71, Repeat("漢字タイトル", 2)), 71,
               NotCp932 + "the file looks like UTF-8"},
    StrictCase{"BytesOfNoEncoding", SendableWith(72, Kan + "\xFF"), 72, NotCp932 + "the file may"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// Reading or saving: what cannot be done whole fails and leaves the record, `modified`, the old
// file and its folder as they were; whatever opens is read without harm. `make` returns the path.
// How the writer fails on a full or failing disk is SafeFileTest's.
struct DiskCase
{
    const char* name;
    bool save;
    std::function<std::string(SettingsFileTest&)> make;
    bool succeeds = false;
    bool asNobody = false;
    const char* otherName = nullptr; // a hard link that must show what was saved
};

class DiskTest : public SettingsFileTest, public testing::WithParamInterface<DiskCase>
{
};

TEST_P(DiskTest, SucceedsWholeOrChangesNothing)
{
    const DiskCase& row = GetParam();
    const std::string target = row.make(*this);
    DeviceSettings.modified = 1;
    const std::string record = WriteSettingsFile();
    const std::string old = Slurp(target);
    const QStringList files = listing();
    const auto act = [&] {
        return row.save ? bool(WriteSettingsFileAt(target)) : ReadSettingsFileAt(target).has_value();
    };
    const std::optional<bool> done =
        row.asNobody ? InChild(act, {.asNobody = true, .largestFile = {}}) : act();
    if (!done)
        GTEST_SKIP() << "cannot run a child process as nobody";
    ASSERT_EQ(*done, row.succeeds);
    EXPECT_EQ(DeviceSettings.modified, row.succeeds && !row.asNobody ? 0 : 1);
    if (row.save && row.succeeds) {
        EXPECT_EQ(Slurp(row.otherName ? path(row.otherName) : target), record);
    }
    if (!row.succeeds) {
        EXPECT_EQ(WriteSettingsFile(), record);
        EXPECT_EQ(Slurp(target), old);
        EXPECT_EQ(listing(), files);
    }
    const std::string read = WriteSettingsFile();
    ReadSettingsFile(read);
    EXPECT_EQ(WriteSettingsFile(), read) << "what was read saves and loads back unchanged";
}

std::string Junk()
{
    std::mt19937 random(508);
    std::string junk(65536, '\0');
    for (char& byte : junk)
        byte = static_cast<char>(random());
    return junk;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, DiskTest, testing::Values(
    DiskCase{"ReadEmpty", false, [](auto& t) { return t.write("a.dat", ""); }, true},
    DiskCase{"ReadBinaryJunk", false, [](auto& t) { return t.write("a.dat", Junk()); }, true},
    DiskCase{"ReadOneMegabyteLine", false,
             [](auto& t) { return t.write("a.dat", std::string(1 << 20, 'x') + "\r\n"); }, true},
    DiskCase{"ReadTenThousandLines", false,
             [](auto& t) { return t.write("a.dat", Repeat("-12\r\n", 10000)); }, true},
    DiskCase{"ReadDirectory", false, [](auto& t) { return t.path(""); }},
    DiskCase{"ReadMissing", false, [](auto& t) { return t.path("missing.dat"); }},
    DiskCase{"ReadNoName", false, [](auto&) { return std::string(); }},
    DiskCase{"ReadPipe", false, [](auto& t) {
        mkfifo(t.path("pipe.dat").c_str(), 0666);
        return t.path("pipe.dat"); }},
    DiskCase{"ReadOversized", false, [](auto& t) {
        std::string name = t.write("a.dat", "");
        EXPECT_EQ(truncate(name.c_str(), 17 << 20), 0);
        return name; }},
    DiskCase{"ReadUnreadable", false, [](auto& t) {
        std::string name = t.write("a.dat", Repeat("1\r\n", 134));
        chmod(name.c_str(), 0600);
        return name; }, false, true},
    DiskCase{"SaveOverDirectory", true, [](auto& t) {
        QDir(t.folder.path()).mkdir("sub");
        return t.path("sub"); }},
    DiskCase{"SaveIntoMissingFolder", true, [](auto& t) { return t.path("none/a.dat"); }},
    DiskCase{"SaveNoName", true, [](auto&) { return std::string(); }},
    DiskCase{"SaveIntoFolderWithoutWritePermissionWritesInPlace", true, [](auto& t) {
        QDir(t.folder.path()).mkdir("locked");
        std::string name = t.write("locked/a.dat", "old");
        chmod(name.c_str(), 0666);
        return name; }, true, true},
    DiskCase{"SaveNewFileIntoFolderWithoutWritePermission", true, [](auto& t) {
        QDir(t.folder.path()).mkdir("locked");
        return t.path("locked/a.dat"); }, false, true},
    DiskCase{"SaveOverHardLinkKeepsOneFile", true, [](auto& t) {
        QDir(t.folder.path()).mkdir("shared");
        chmod(t.path("shared").c_str(), 0777);
        std::string name = t.write("shared/a.dat", "old");
        chmod(name.c_str(), 0666);
        EXPECT_EQ(link(name.c_str(), t.path("shared/b.dat").c_str()), 0);
        return name; }, true, true, "shared/b.dat"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
