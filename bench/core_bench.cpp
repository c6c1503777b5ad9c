// Google Benchmark rows for work that needs no port and no window: the settings file's writer and
// reader on a record whose 66 titles are all full-length Japanese, the title commands of both
// channels as "全設定" builds them, a CSV of those titles read, and the title box's cut of the
// longest paste it takes. No port is open, so a command ends at the link's write.
#include "editors/TitleCommand.h"
#include "editors/TitleValidator.h"
#include "platform/Cp932.h"
#include "settings/DeviceSettings.h"
#include "settings/SettingsFile.h"
#include "settings/TitlesCsv.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int TitleLines = ChannelCount * TitleCount;

// 14 full-width characters: the 28 bytes a title may hold.
void fillWithJapaneseTitles()
{
    ResetSettings();
    const std::string title = ToCp932(QString::fromUtf8("漢字タイトル発生器の表示例一")).value();
    for (auto& channel : DeviceSettings.title)
        for (std::string& line : channel)
            line = title;
}

void WriteSettings(benchmark::State& state)
{
    fillWithJapaneseTitles();
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string file = WriteSettingsFile();
        bytes += file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(WriteSettings);

void ReadSettings(benchmark::State& state)
{
    fillWithJapaneseTitles();
    const std::string file = WriteSettingsFile();
    for (auto _ : state) {
        ReadSettingsFile(file);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(ReadSettings);

void SendAllTitles(benchmark::State& state)
{
    fillWithJapaneseTitles();
    int refused = 0;
    for (auto _ : state)
        for (int channel = 0; channel < ChannelCount; ++channel)
            for (int position = 0; position < TitleCount; ++position)
                refused += PadTitle(channel, position) ? SendTitle(channel, position) : 1;
    if (refused != 0)
        state.SkipWithError("a title was not encoded");
    state.SetItemsProcessed(state.iterations() * TitleLines);
}
BENCHMARK(SendAllTitles);

// 32,767 characters, as many as a line edit takes, of which 16 fit.
void CutLongestPaste(benchmark::State& state)
{
    const QString paste = QString::fromUtf8("字 B").repeated(10922) + QString::fromUtf8("字");
    const TitleValidator validator;
    for (auto _ : state) {
        QString input = paste;
        int position = static_cast<int>(input.size());
        benchmark::DoNotOptimize(validator.validate(input, position));
    }
    state.SetItemsProcessed(state.iterations() * paste.size());
}
BENCHMARK(CutLongestPaste);

// 33 rows of two full-length Japanese titles; the target is under 50 ms.
void ImportTitlesCsv(benchmark::State& state)
{
    fillWithJapaneseTitles();
    const std::string csv = WriteTitlesCsv(RecordTitles(), CsvEncoding::Utf8WithBom);
    for (auto _ : state) {
        auto read = ReadTitlesCsv(csv);
        benchmark::DoNotOptimize(read);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * csv.size()));
}
BENCHMARK(ImportTitlesCsv)->Unit(benchmark::kMillisecond);

} // namespace
