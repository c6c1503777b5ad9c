// mrv508 --export-titles and --import-titles, run as a site's shell loop runs them.
#include "platform/Cp932.h"
#include "settings/DeviceSettings.h"
#include "settings/SettingsFile.h"
#include "support/BuildPaths.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

const QString Data = QString::fromStdString(TestDataFolder() + "/");

QByteArray Slurp(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "absent";
}

// `in.csv` holds `csv`; "@" stands for the test's folder. `written` gives what the run must
// write to out.dat; without it none may be written.
struct CommandRun
{
    const char* name;
    QStringList arguments;
    const char* csv = "";
    int status = 0;
    const char* err = "";
    const char* out = "";
    std::function<QByteArray()> written = {};
};

class TitlesCommandTest : public testing::TestWithParam<CommandRun>
{
};

TEST_P(TitlesCommandTest, ExitsWithItsStatusAndMessage)
{
    const CommandRun& row = GetParam();
    QTemporaryDir folder;
    QFile csv(folder.filePath("in.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly) && csv.write(row.csv) >= 0);
    csv.close();
    QStringList arguments = row.arguments;
    arguments.replaceInStrings("@", folder.path() + '/');
    QProcess tool;
    tool.start(QString::fromStdString(AppPath()), arguments);
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), row.status);
    const QString err = QString::fromUtf8(tool.readAllStandardError());
    EXPECT_EQ(err.isEmpty(), !*row.err) << err.toStdString();
    EXPECT_THAT(
        err.toStdString(),
        testing::HasSubstr(QString(row.err).replace("@", folder.path() + '/').toStdString()));
    EXPECT_EQ(tool.readAllStandardOutput(), *row.out ? Slurp(Data + row.out) : QByteArray());
    ResetSettings();
    EXPECT_EQ(Slurp(folder.filePath("out.dat")), row.written ? row.written() : "absent");
}

QByteArray Saved()
{
    return QByteArray::fromStdString(WriteSettingsFile());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Runs, TitlesCommandTest, testing::Values(
    CommandRun{"ExportToStandardOutput", {"--export-titles", Data + "titles.dat"}, "", 0, "",
               "titles.csv"},
    CommandRun{"ImportOntoBase", {"--import-titles", "@in.csv", "--base", Data + "titles.dat",
               "-o", "@out.dat"}, "Top,ｶﾅ,\r\n", 0, "mrv508: @in.csv: 1 titles made full-width",
               "", [] {
                   ReadSettingsFile(Slurp(Data + "titles.dat").toStdString());
                   DeviceSettings.title[0][32] = "\x83J\x83i"; // カナ
                   DeviceSettings.title[1][32].clear();
                   return Saved(); }},
    CommandRun{"ImportOntoDefaults", {"--import-titles", "@in.csv", "-o", "@out.dat"},
               "B02,,漢\n", 0, "", "", [] {
                   DeviceSettings.title[1][1] = "\x8A\xBF"; // 漢
                   return Saved(); }},
    CommandRun{"ExportToFile", {"--export-titles", Data + "titles.dat", "@out.dat"}, "", 0, "", "",
               [] { return Slurp(Data + "titles.csv"); }},
    CommandRun{"CsvProblem", {"--import-titles", "@in.csv", "-o", "@out.dat"}, "Top,a\nB99,b\n",
               2, "mrv508: @in.csv:2: \"B99\" is no position"},
    CommandRun{"BaseUnreadable", {"--import-titles", "@in.csv", "--base", "@none.dat", "-o",
               "@out.dat"}, "", 2, "mrv508: @none.dat: cannot read the file"},
    CommandRun{"OutputUnwritable", {"--import-titles", "@in.csv", "-o", "@none/out.dat"},
               "Top,a\n", 2, "mrv508: cannot write @none/out.dat: "},
    CommandRun{"NoOutput", {"--import-titles", "@in.csv"}, "", 2, "usage: mrv508 --import-titles"},
    CommandRun{"ExportUnreadable", {"--export-titles", "@none.dat"}, "", 2,
               "@none.dat: cannot read"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
