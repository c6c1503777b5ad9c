#pragma once
#include "settings/DeviceSettings.h"
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

enum class CsvEncoding { Utf8WithBom, Cp932 };

// Every title of a device, as CP932 bytes, [channel][position] as in DeviceSettings.
using TitleGrid = std::array<std::array<std::string, TitleCount>, ChannelCount>;

// What a CSV file gives: a title for each cell it names (nullopt: the row is absent, leave it).
struct TitlesCsvImport
{
    std::array<std::array<std::optional<std::string>, TitleCount>, ChannelCount> titles;
    int widened = 0; // titles whose half-width characters were made full-width
};

struct TitlesCsvProblem
{
    int line; // 1-based line of the file
    std::string what;
};

std::string WriteTitlesCsv(const TitleGrid& titles, CsvEncoding encoding);
std::variant<TitlesCsvImport, TitlesCsvProblem> ReadTitlesCsv(std::string_view bytes);
// The record's titles as a grid, and a grid's titles into the record.
TitleGrid RecordTitles();
void SetRecordTitles(const TitleGrid& titles);
// `base` with the titles the import names put in.
TitleGrid MergeTitles(TitleGrid base, const TitlesCsvImport& import);
