#include "settings/TitlesCsv.h"

#include "platform/Cp932.h"
#include "platform/FullWidth.h"
#include "platform/Utf8.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <vector>

namespace {

constexpr const char* Header = "位置,ch.1,ch.2";
constexpr const char* HeaderCell = "位置";
constexpr std::string_view LineEnd = "\r\n";
constexpr int MaxCells = 1 + ChannelCount;

struct CsvRow
{
    int line;
    std::vector<std::string> cells;
};

// RFC 4180: a field with a comma, a quote or a line break is quoted, its quotes doubled.
std::string Field(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted.append(c == '"' ? 2 : 1, c);
    return quoted + '"';
}

// The field at the start of `rest`, which is left at the comma or line end after it; nothing when
// its quoting is broken. A line break inside quotes is kept as LF.
std::optional<std::string> TakeField(std::string_view& rest, int& line)
{
    if (!rest.starts_with('"')) {
        std::string field(rest.substr(0, rest.find_first_of(",\n")));
        rest.remove_prefix(field.size());
        if (field.ends_with('\r') && !rest.starts_with(','))
            field.pop_back();
        return field.find('"') == std::string::npos ? std::optional(field) : std::nullopt;
    }
    std::string field;
    size_t pos = 1;
    for (;;) {
        const size_t quote = rest.find('"', pos);
        if (quote == std::string_view::npos)
            return std::nullopt;
        field.append(rest.substr(pos, quote - pos));
        pos = quote + 1;
        if (!rest.substr(pos).starts_with('"'))
            break;
        field += '"';
        ++pos;
    }
    line += static_cast<int>(std::count(rest.begin(), rest.begin() + pos, '\n'));
    rest.remove_prefix(pos);
    if (!rest.empty() && !rest.starts_with(',') && !rest.starts_with('\n') &&
        !rest.starts_with(LineEnd))
        return std::nullopt;
    std::erase(field, '\r');
    return field;
}

std::variant<std::vector<CsvRow>, TitlesCsvProblem> SplitRows(std::string_view text)
{
    std::vector<CsvRow> rows;
    int line = 1;
    while (!text.empty()) {
        CsvRow row{line, {}};
        for (bool more = true; more;) {
            std::optional<std::string> field = TakeField(text, line);
            if (!field)
                return TitlesCsvProblem{row.line, "broken quoting: a field with a quote is quoted "
                                                  "whole, each quote inside doubled"};
            row.cells.push_back(std::move(*field));
            more = text.starts_with(',');
            text.remove_prefix(more ? 1 : std::min(text.find('\n') + 1, text.size()));
        }
        line += 1;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<int> PositionOf(const QString& name)
{
    for (int position = 0; position < TitleCount; ++position) {
        const int number = position + 1;
        if (name == QString::fromStdString(TitlePositionName(position)))
            return position;
        if (position < TitleCount - 1 &&
            (name == QStringLiteral("Bottom%1").arg(number) ||
             name == QStringLiteral("B%1").arg(number, 2, 10, QLatin1Char('0'))))
            return position;
    }
    return std::nullopt;
}

std::string CodeOf(char32_t c)
{
    return QStringLiteral("U+%1").arg(c, 4, 16, QLatin1Char('0')).toUpper().toStdString();
}

// A full-width title in CP932, or what keeps it from being one of the device's titles.
struct CellTitle
{
    std::string bytes;
    std::string unfit;
};

CellTitle Cp932Title(const QString& title)
{
    const std::optional<std::string> bytes = ToCp932(title);
    for (const char32_t c : title.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        if (c < U' ')
            return {{}, "holds the control character " + CodeOf(c)};
        if (!bytes && !ToCp932(character))
            return {{},
                    "holds " + CodeOf(c) + " \"" + character.toStdString() +
                        "\", which CP932 (Shift_JIS) lacks"};
    }
    if (!bytes) // the conversion itself is missing
        return {{}, "cannot be made CP932 (Shift_JIS)"};
    if (bytes->size() > TitleBytes)
        return {{},
                "a title holds at most 28 bytes (14 full-width characters), this one " +
                    std::to_string(bytes->size())};
    return {*bytes, {}};
}

// The cells of a row as text, or nothing when a CP932 cell holds a byte that starts no character.
std::optional<std::vector<QString>> CellTexts(const CsvRow& row, bool utf8)
{
    std::vector<QString> texts;
    for (const std::string& cell : row.cells) {
        std::optional<QString> text = utf8 ? QString::fromStdString(cell) : FromCp932Strict(cell);
        if (!text)
            return std::nullopt;
        texts.push_back(std::move(*text));
    }
    return texts;
}

// Puts the titles of a row's cells into `import`; what is wrong with the row, or nothing.
std::string TakeRow(const std::vector<QString>& cells, int line,
                    std::array<int, TitleCount>& givenOn, TitlesCsvImport& import)
{
    if (cells.size() > MaxCells)
        return "a row has at most 3 cells (position, ch.1, ch.2), this one " +
               std::to_string(cells.size());
    const std::optional<int> position = PositionOf(cells.front());
    if (!position)
        return "\"" + cells.front().toStdString() +
               "\" is no position; they are \"Bottom 1\" to \"Bottom32\" and \"Top\"";
    if (givenOn[*position] != 0)
        return TitlePositionName(*position) + " is given twice, first on line " +
               std::to_string(givenOn[*position]);
    givenOn[*position] = line;
    for (int channel = 0; channel < ChannelCount && channel + 1 < std::ssize(cells); ++channel) {
        const QString& cell = cells[channel + 1];
        const QString wide = ToFullWidth(cell);
        CellTitle title = Cp932Title(wide);
        if (!title.unfit.empty())
            return "ch." + std::to_string(channel + 1) + ": " + title.unfit;
        import.titles[channel][*position] = std::move(title.bytes);
        import.widened += wide != cell ? 1 : 0;
    }
    return {};
}

} // namespace

std::string WriteTitlesCsv(const TitleGrid& titles, CsvEncoding encoding)
{
    const bool utf8 = encoding == CsvEncoding::Utf8WithBom;
    const auto text = [utf8](const std::string& cp932) {
        return utf8 ? FromCp932(cp932).toStdString() : cp932;
    };
    std::string csv = utf8 ? std::string(Utf8Bom) + Header : *ToCp932(QString::fromUtf8(Header));
    csv += LineEnd;
    for (int position = 0; position < TitleCount; ++position) {
        csv += TitlePositionName(position);
        for (const auto& channel : titles)
            csv += ',' + Field(text(channel[position]));
        csv += LineEnd;
    }
    return csv;
}

std::variant<TitlesCsvImport, TitlesCsvProblem> ReadTitlesCsv(std::string_view bytes)
{
    const bool utf8 = IsUtf8Text(bytes);
    bytes.remove_prefix(bytes.starts_with(Utf8Bom) ? Utf8Bom.size() : 0);
    auto split = SplitRows(bytes);
    if (const auto* problem = std::get_if<TitlesCsvProblem>(&split))
        return *problem;
    TitlesCsvImport import;
    std::array<int, TitleCount> givenOn = {};
    bool first = true;
    for (const CsvRow& row : std::get<std::vector<CsvRow>>(split)) {
        const std::optional<std::vector<QString>> cells = CellTexts(row, utf8);
        if (!cells)
            return TitlesCsvProblem{row.line, "holds bytes that are neither UTF-8 nor CP932 "
                                              "(Shift_JIS) text"};
        if (std::all_of(cells->begin(), cells->end(), [](const QString& c) { return c.isEmpty(); }))
            continue;
        const bool header = first && cells->front() == QString::fromUtf8(HeaderCell);
        first = false;
        if (header)
            continue;
        std::string what = TakeRow(*cells, row.line, givenOn, import);
        if (!what.empty())
            return TitlesCsvProblem{row.line, std::move(what)};
    }
    return import;
}

TitleGrid RecordTitles()
{
    TitleGrid titles;
    for (int channel = 0; channel < ChannelCount; ++channel)
        std::copy_n(DeviceSettings.title[channel], TitleCount, titles[channel].begin());
    return titles;
}

void SetRecordTitles(const TitleGrid& titles)
{
    for (int channel = 0; channel < ChannelCount; ++channel)
        std::copy_n(titles[channel].begin(), TitleCount, DeviceSettings.title[channel]);
}

TitleGrid MergeTitles(TitleGrid base, const TitlesCsvImport& import)
{
    for (int channel = 0; channel < ChannelCount; ++channel)
        for (int position = 0; position < TitleCount; ++position)
            if (const auto& title = import.titles[channel][position])
                base[channel][position] = *title;
    return base;
}
