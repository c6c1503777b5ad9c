#include "ledger/Ledger.h"
#include "app/DeviceHistory.h"
#include "editors/ChangedTitles.h"
#include "ledger/CommandItem.h"
#include "send/TimeText.h"
#include "settings/DeviceSettings.h"
#include "support/LedgerRows.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Step
{
    int slave;
    LedgerResult result;
    std::string value;
    std::string reply;
    bool late = false;
};

struct HeldCase
{
    const char* name;
    std::vector<Step> steps;
    std::optional<std::pair<std::string, bool>> expected; // slave 3's value, and whether unsure
    std::string rows; // result, reply, late of every entry, in order
};

void PrintTo(const HeldCase& c, std::ostream* out)
{
    *out << c.name;
}

constexpr LedgerResult Accepted = LedgerResult::Accepted;
constexpr LedgerResult Rejected = LedgerResult::Rejected;
constexpr LedgerResult Silent = LedgerResult::NotAnswered;

class LedgerTest : public testing::Test
{
protected:
    std::string path() const { return folder.filePath("state/mrv508/ledger.sqlite").toStdString(); }

    static LedgerEntry entry(const std::string& device, const Step& step, const std::string& item)
    {
        return {device,
                step.slave,
                item,
                step.value,
                "P01" + step.value + "\r\n",
                step.result,
                step.reply,
                step.late,
                std::chrono::system_clock::now()};
    }

    std::string rows(const char* query) const { return LedgerRows(path(), query); }

    QTemporaryDir folder;
    std::ostringstream problems;
};

class HeldItemTest : public LedgerTest, public testing::WithParamInterface<HeldCase>
{
};

constexpr const char* Kanji = "\x8A\xBF\x8E\x9A"; // 漢字
constexpr const char* Before = "\x91\x4F";        // 前
constexpr const char* Never = "デバイスがこのタイトルを受け付けた記録はありません";

struct TitleCase
{
    const char* name;
    std::vector<std::pair<const char*, LedgerResult>> steps; // slave 3's answers to ch.1 Bottom1
    const char* recorded;                                    // ch.1 Bottom1 in the record
    std::string why; // for ch.1 Bottom1, "@" for the minute of the steps; empty: unchanged
};

class ChangedTitlesTest : public LedgerTest, public testing::WithParamInterface<TitleCase>
{
};

} // namespace

TEST_P(HeldItemTest, EveryEntryStaysAndADeviceHoldsItsLastAcknowledgedValue)
{
    {
        Ledger ledger(path(), "mrv508-send", problems);
        ASSERT_TRUE(ledger.isOpen());
        for (const Step& step : GetParam().steps)
            ledger.record(entry("/dev/serial/by-id/usb-X", step, "ch.1 picture"));
    }
    Ledger ledger(path(), "mrv508-send", problems);
    const auto held = ledger.held("/dev/serial/by-id/usb-X", 3);
    ASSERT_EQ(held.count("ch.1 picture"), GetParam().expected ? 1u : 0u);
    if (GetParam().expected) {
        const HeldItem& item = held.at("ch.1 picture");
        EXPECT_EQ(item.value, GetParam().expected->first);
        EXPECT_EQ(item.unsure, GetParam().expected->second);
        EXPECT_EQ(item.program, "mrv508-send");
    }
    EXPECT_EQ(rows("SELECT result, reply, late FROM entries ORDER BY id"), GetParam().rows);
    EXPECT_EQ(problems.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Histories, HeldItemTest,
    testing::Values(
        HeldCase{"Accepted", {{3, Accepted, "05", "GO"}}, std::pair("05", false), "accepted|GO|0;"},
        HeldCase{"ARefusalChangesNothing",
                 {{3, Accepted, "05", "GO"}, {3, Rejected, "07", "MENU"}},
                 std::pair("05", false),
                 "accepted|GO|0;rejected|MENU|0;"},
        HeldCase{"ASilenceLeavesItUnsure",
                 {{3, Accepted, "05", "GO"}, {3, Silent, "07", ""}},
                 std::pair("05", true),
                 "accepted|GO|0;not answered||0;"},
        HeldCase{"ALateGoCounts",
                 {{3, Silent, "07", ""}, {3, Accepted, "07", "GO", true}},
                 std::pair("07", false),
                 "not answered||0;accepted|GO|1;"},
        HeldCase{"NeverAcknowledged",
                 {{3, Rejected, "05", "E3"}, {3, Silent, "07", ""}},
                 std::nullopt,
                 "rejected|E3|0;not answered||0;"},
        HeldCase{"AnotherSlavesEntriesAreItsOwn",
                 {{4, Accepted, "05", "GO"}},
                 std::nullopt,
                 "accepted|GO|0;"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LedgerTest, ADamagedLedgerIsSetAsideOnceAndANewOneStarted)
{
    ASSERT_TRUE(QDir().mkpath(folder.filePath("state/mrv508")));
    QFile damaged(QString::fromStdString(path()));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();
    Ledger ledger(path(), "mrv508", problems);
    ASSERT_TRUE(ledger.isOpen());
    ledger.record(entry("/dev/ttyS0", {3, Accepted, "05", "GO"}, "ch.1 picture"));
    EXPECT_EQ(ledger.held("/dev/ttyS0", 3).at("ch.1 picture").value, "05");
    const QStringList aside =
        QDir(folder.filePath("state/mrv508")).entryList({"ledger-damaged-*.sqlite"});
    ASSERT_EQ(aside.size(), 1);
    QFile kept(folder.filePath("state/mrv508/" + aside[0]));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray(4096, 'x'));
    EXPECT_EQ(problems.str(), "mrv508: the ledger " + path() +
                                  " cannot be used (file is not a database); it is kept as " +
                                  kept.fileName().toStdString() + " and a new one is started\n");
}

// Two programs that write at once, as two senders on two ports do, the first time too: each
// waits for the other, and no entry is lost.
TEST_F(LedgerTest, TwoProcessesWritingAtOnceLoseNoEntry)
{
    constexpr int Entries = 400;
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            close(start[1]);
            char go = 0;
            [[maybe_unused]] const ssize_t released = read(start[0], &go, 1);
            std::ostringstream said;
            Ledger ledger(path(), "mrv508-send", said);
            for (int i = 0; i < Entries; ++i)
                ledger.record(entry("/dev/ttyUSB" + std::to_string(child),
                                    {3, Accepted, std::to_string(i), "GO"},
                                    "item " + std::to_string(i)));
            _exit(ledger.isOpen() && said.str().empty() ? 0 : 1);
        }
    }
    close(start[0]);
    close(start[1]);
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    Ledger ledger(path(), "mrv508", problems);
    for (const char* device : {"/dev/ttyUSB0", "/dev/ttyUSB1"})
        EXPECT_EQ(ledger.held(device, 3).size(), size_t{Entries}) << device;
    // What the ledger holds is nobody else's business.
    struct stat folderMode = {};
    ASSERT_EQ(::stat(folder.filePath("state").toLocal8Bit().constData(), &folderMode), 0);
    EXPECT_EQ(folderMode.st_mode & 0777, 0700u);
}

TEST_P(ChangedTitlesTest, ATitleIsChangedUnlessTheDeviceLastAcknowledgedItAsItStands)
{
    ResetSettings();
    Ledger ledger(path(), "mrv508", problems);
    std::string why = GetParam().why;
    for (const auto& [title, result] : GetParam().steps) {
        DeviceSettings.title[0][0] = title;
        const LedgerEntry entry = TitleEntry("/dev/ttyUSB0", 3, 0, 0, result);
        ledger.record(entry);
        if (const size_t at = why.find('@'); at != std::string::npos)
            why.replace(at, 1, LocalTimeText(entry.time).substr(0, 16));
    }
    DeviceSettings.title[0][0] = GetParam().recorded;

    // Every other title was never acknowledged; all come in the table's order.
    std::vector<std::string> expected;
    for (int position = 0; position < TitleCount; ++position)
        for (int channel = 0; channel < ChannelCount; ++channel)
            if (position > 0 || channel > 0)
                expected.push_back(TitleItem(channel, position) + ": " + Never);
            else if (!why.empty())
                expected.push_back(TitleItem(0, 0) + ": " + why);
    std::vector<std::string> found;
    for (const ChangedTitle& changed :
         FindChangedTitles(ledger, {-1, "", "/dev/ttyUSB0", true, {3}}))
        found.push_back(TitleItem(changed.title.channel, changed.title.position) + ": " +
                        changed.why);
    EXPECT_EQ(found, expected);
    EXPECT_EQ(problems.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Titles, ChangedTitlesTest,
    testing::Values(TitleCase{"AcknowledgedAsItStands", {{Kanji, Accepted}}, Kanji, ""},
                    TitleCase{"AcknowledgedSomethingElse",
                              {{Before, Accepted}},
                              Kanji,
                              "デバイスが最後に受け付けたのは「前」(@)"},
                    TitleCase{"ALaterLineWentUnanswered",
                              {{Kanji, Accepted}, {Before, Silent}},
                              Kanji,
                              "デバイスが最後に受け付けたのは「漢字」(@)。"
                              "その後の送信には応答がありませんでした"},
                    TitleCase{"OneTheDeviceCannotShow",
                              {{Kanji, Accepted}},
                              "18F",
                              "デバイスが最後に受け付けたのは「漢字」(@)"}),
    [](const auto& info) { return std::string(info.param.name); });

// The window's 送信履歴: on RS-485 each slave the ledger knows on the line, on RS-232C the one
// device, beside the record's 134 lines.
TEST_F(LedgerTest, EachDeviceOfALineSaysWhenItLastAcknowledgedAndHowManySettingsDiffer)
{
    const std::chrono::system_clock::time_point never{};
    ResetSettings();
    Ledger ledger(path(), "mrv508", problems);
    ledger.record(TitleEntry("/dev/ttyUSB0", 5, 0, 0, Rejected));
    const LedgerEntry slave3 = TitleEntry("/dev/ttyUSB0", 3, 0, 0, Accepted);
    ledger.record(slave3);
    const LedgerEntry rs232c = TitleEntry("/dev/ttyUSB0", std::nullopt, 1, 0, Accepted);
    ledger.record(rs232c);
    ledger.record(TitleEntry("/dev/ttyUSB1", 7, 0, 0, Accepted));
    const auto rows = [&ledger, never](bool rs485) {
        std::vector<std::string> text;
        for (const DeviceHistory& device : ReadDeviceHistories(ledger, "/dev/ttyUSB0", rs485))
            text.push_back(std::to_string(device.slave.value_or(-1)) + " " +
                           LocalTimeText(device.lastAcknowledged.value_or(never)) + " " +
                           std::to_string(device.differing) + "/" + std::to_string(device.total));
        return text;
    };
    EXPECT_EQ(rows(true), (std::vector<std::string>{"3 " + LocalTimeText(slave3.time) + " 133/134",
                                                    "5 " + LocalTimeText(never) + " 134/134"}));
    EXPECT_EQ(rows(false),
              (std::vector<std::string>{"-1 " + LocalTimeText(rs232c.time) + " 133/134"}));
    EXPECT_EQ(problems.str(), "");
}
