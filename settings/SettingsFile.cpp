#include "settings/SettingsFile.h"

#include "editors/TitleEncoding.h"
#include "platform/Cp932.h"
#include "platform/Utf8.h"
#include "settings/DeviceSettings.h"

#include <QList>
#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <vector>

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view EmptyTitle = "s";
constexpr std::string_view FullWidthBlank = "\x81\x40";
// The reader's line buffer: 33 bytes of text and a terminator.
constexpr size_t TitleBufferBytes = 33;

struct IntegerLine
{
    int* field;
    int highest; // the device's range is 0 to this
    const char* what;
};

// The integer fields in the order of their lines; both directions walk this one list.
std::vector<IntegerLine> IntegerLines()
{
    DeviceSettingsRecord& s = DeviceSettings;
    std::vector<IntegerLine> lines = {
        {&s.vOffset[0], VerticalOffsetCount - 1, "a vertical offset"},
        {&s.vOffset[1], VerticalOffsetCount - 1, "a vertical offset"},
        {&s.hOffset[0], HorizontalOffsetCount - 1, "a horizontal offset"},
        {&s.hOffset[1], HorizontalOffsetCount - 1, "a horizontal offset"}};
    for (auto& channel : s.whiteLevel)
        for (int& level : channel)
            lines.push_back({&level, WhiteLevelCount - 1, "a white level"});
    return lines;
}

std::vector<std::string*> TitleLines()
{
    std::vector<std::string*> lines;
    for (auto& channel : DeviceSettings.title)
        for (std::string& title : channel)
            lines.push_back(&title);
    return lines;
}

// Each line without its end: CR LF, LF or CR. A last line without an end counts as well. Stops
// after one line more than a settings file has: a large damaged file costs no more.
std::vector<std::string_view> SplitLines(std::string_view file)
{
    std::vector<std::string_view> lines;
    while (!file.empty() && lines.size() <= SettingsFileLines) {
        const size_t end = file.find_first_of("\r\n");
        lines.push_back(file.substr(0, end));
        if (end == std::string_view::npos)
            break;
        file.remove_prefix(end + (file.compare(end, 2, LineEnd) == 0 ? 2 : 1));
    }
    return lines;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// CP932: a lead byte and a trail byte make one double-byte character. A lead byte followed by
// anything else (a blank, the end) stands alone, so blanks are never taken for trail bytes.
size_t CharLength(std::string_view text, size_t pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    if (!isLead || pos + 1 >= text.size())
        return 1;
    const auto trail = static_cast<unsigned char>(text[pos + 1]);
    return trail >= 0x40 && trail <= 0xFC && trail != 0x7F ? 2 : 1;
}

// The longest start of `text` that fits the title buffer without splitting a character.
std::string_view FitToBuffer(std::string_view text)
{
    size_t end = 0;
    while (end < text.size()) {
        const size_t next = end + CharLength(text, end);
        if (next > TitleBufferBytes)
            break;
        end = next;
    }
    return text.substr(0, end);
}

// A half-width blank would split the title into two tokens (or leave none) and move every later
// title; a full-width one keeps the line a single token, as the title edit box does when typing.
std::string WithFullWidthBlanks(std::string_view title)
{
    std::string line;
    for (size_t pos = 0; pos < title.size();) {
        const size_t length = CharLength(title, pos);
        if (length == 1 && IsBlank(title[pos]))
            line += FullWidthBlank;
        else
            line.append(title, pos, length);
        pos += length;
    }
    return line;
}

std::string TitleLine(const std::string& title)
{
    if (title.empty())
        return std::string(EmptyTitle);
    return std::string(FitToBuffer(WithFullWidthBlanks(title)));
}

// A title line taken whole, as typing would have stored it.
std::string TitleOfLine(std::string_view line)
{
    return line == EmptyTitle ? std::string() : WithFullWidthBlanks(line);
}

void SkipBlanks(std::string_view& rest)
{
    while (!rest.empty() && IsBlank(rest.front()))
        rest.remove_prefix(1);
}

// An optionally signed decimal integer, saturated to the range of int. Text that is no number
// stays unread, so the titles start there.
void ReadInteger(std::string_view& rest, int& field)
{
    SkipBlanks(rest);
    const bool signedNumber = !rest.empty() && (rest[0] == '-' || rest[0] == '+');
    size_t pos = signedNumber ? 1 : 0;
    if (pos >= rest.size() || !IsDigit(rest[pos]))
        return;
    constexpr long long Limit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; pos < rest.size() && IsDigit(rest[pos]); ++pos)
        magnitude = std::min(magnitude * 10 + (rest[pos] - '0'), Limit);
    field = static_cast<int>(rest[0] == '-' ? -magnitude : std::min<long long>(magnitude, INT_MAX));
    rest.remove_prefix(pos);
    SkipBlanks(rest);
}

// The next token; what the buffer cannot hold is dropped with the rest of the token, so that
// later titles keep their places.
std::string ReadTitle(std::string_view& rest)
{
    SkipBlanks(rest);
    size_t length = 0;
    while (length < rest.size() && !IsBlank(rest[length]))
        ++length;
    std::string title(FitToBuffer(rest.substr(0, length)));
    rest.remove_prefix(length);
    if (title == EmptyTitle)
        title.clear();
    return title;
}

// The whole text in CP932: each character that CP932 lacks becomes a full-width question mark,
// so that the titles around it keep their places and the loss shows.
std::string Utf8ToCp932(std::string_view file)
{
    file.remove_prefix(file.starts_with(Utf8Bom) ? Utf8Bom.size() : 0);
    const QString text = QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size()));
    if (std::optional<std::string> bytes = ToCp932(text))
        return *bytes;
    std::string bytes;
    for (const char32_t c : text.toUcs4())
        bytes += ToCp932(QString::fromUcs4(&c, 1)).value_or("\x81\x48");
    return bytes;
}

void ReadValues(std::string_view file)
{
    // In a file of exactly 134 lines each line is one value, so a title with half-width blanks
    // (files written on Windows hold such titles) keeps its place instead of falling into tokens.
    const std::vector<std::string_view> lines = SplitLines(file);
    const std::vector<IntegerLine> integers = IntegerLines();
    const std::vector<std::string*> titles = TitleLines();
    if (lines.size() == SettingsFileLines) {
        for (size_t i = 0; i < integers.size(); ++i) {
            std::string_view line = lines[i];
            ReadInteger(line, *integers[i].field);
        }
        for (size_t i = 0; i < titles.size(); ++i)
            *titles[i] = FitToBuffer(TitleOfLine(lines[integers.size() + i]));
        return;
    }
    for (const IntegerLine& line : integers)
        ReadInteger(file, *line.field);
    for (std::string* title : titles)
        *title = ReadTitle(file);
}

// A line as a message quotes it: short, since a damaged file may hold a line of any length.
std::string Quoted(std::string_view line)
{
    constexpr size_t Shown = 20;
    return '"' + std::string(line.substr(0, Shown)) + (line.size() > Shown ? "...\"" : "\"");
}

std::optional<SettingsFileProblem> ShapeProblem(std::string_view file,
                                                const std::vector<std::string_view>& lines)
{
    for (const std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"})
        if (file.starts_with(mark))
            return SettingsFileProblem{
                1, "starts with a byte order mark; a settings file is CP932 text without one"};
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find('\0') != std::string_view::npos)
            return SettingsFileProblem{static_cast<int>(i) + 1, "holds a NUL byte"};
    const int count = static_cast<int>(lines.size());
    if (count == 0)
        return SettingsFileProblem{1, "the file is empty; a settings file has 134 lines"};
    if (count < SettingsFileLines)
        return SettingsFileProblem{count, "the file ends after this line; a settings file has "
                                          "134 lines, this one " +
                                              std::to_string(count)};
    if (count > SettingsFileLines)
        return SettingsFileProblem{count, "the file goes on past line 134, where a settings file "
                                          "ends"};
    return std::nullopt;
}

enum class TitleText {
    DeviceCodes,   // two-byte codes only, each one the device's title command takes
    WithHalfWidth, // CP932 with half-width characters, which the sender skips
    NotCp932,
};

// A half-width blank counts as the full-width one it becomes.
TitleText ReadAsCp932(std::string_view line)
{
    bool halfWidth = false;
    for (size_t pos = 0, length = 0; pos < line.size(); pos += length) {
        length = CharLength(line, pos);
        const auto lead = static_cast<unsigned char>(line[pos]);
        if (length == 2) {
            const auto trail = static_cast<unsigned char>(line[pos + 1]);
            if (TitleCharacterToJis(static_cast<std::uint16_t>(lead << 8 | trail)) == 0)
                return TitleText::NotCp932;
        } else if (!IsBlank(line[pos])) {
            const bool halfWidthKana = lead >= 0xA1 && lead <= 0xDF;
            if (lead >= 0x80 && !halfWidthKana)
                return TitleText::NotCp932;
            halfWidth = true;
        }
    }
    return halfWidth ? TitleText::WithHalfWidth : TitleText::DeviceCodes;
}

// A title of bytes that are no CP932 text would reach the devices as other characters. A UTF-8
// title is refused even where its bytes happen to be CP932, unless the device takes every code:
// its file came from a UTF-8 editor, and its other titles would be other characters too.
std::optional<std::string> TitleEncodingProblem(std::string_view line)
{
    const TitleText text = ReadAsCp932(line);
    const bool utf8 = IsUtf8Text(line);
    if (text == TitleText::DeviceCodes || (text == TitleText::WithHalfWidth && !utf8))
        return std::nullopt;
    return std::string("the title is not Shift_JIS (CP932) text; ") +
           (utf8 ? "the file looks like UTF-8" : "the file may be in another encoding or damaged");
}

// A whole line of digits from 0 to `highest`, nothing around it.
std::optional<int> StrictInteger(std::string_view line, int highest)
{
    int value = -1;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (error != std::errc() || end != line.data() + line.size() || value < 0 || value > highest)
        return std::nullopt;
    return value;
}

} // namespace

std::string WriteSettingsFile()
{
    std::string file;
    for (const IntegerLine& line : IntegerLines())
        file.append(std::to_string(*line.field)).append(LineEnd);
    for (const std::string* title : TitleLines())
        file.append(TitleLine(*title)).append(LineEnd);
    return file;
}

TitleEncoding ReadSettingsFile(std::string_view file)
{
    if (!IsUtf8Text(file)) {
        ReadValues(file);
        return TitleEncoding::Cp932;
    }
    ReadValues(Utf8ToCp932(file));
    for (std::string* title : TitleLines())
        *title = Cp932Prefix(*title, TitleBytes);
    return TitleEncoding::Utf8;
}

std::optional<SettingsFileProblem> ReadSettingsFileStrict(std::string_view file)
{
    const std::vector<std::string_view> lines = SplitLines(file);
    if (auto problem = ShapeProblem(file, lines))
        return problem;
    const std::vector<IntegerLine> integers = IntegerLines();
    const std::vector<std::string*> titleFields = TitleLines();
    std::vector<int> values;
    std::vector<std::string> titles;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        if (i < integers.size()) {
            const IntegerLine& integer = integers[i];
            const auto value = StrictInteger(lines[i], integer.highest);
            if (!value)
                return SettingsFileProblem{number, std::string(integer.what) + " is 0 to " +
                                                       std::to_string(integer.highest) + ", not " +
                                                       Quoted(lines[i])};
            values.push_back(*value);
            continue;
        }
        if (auto problem = TitleEncodingProblem(lines[i]))
            return SettingsFileProblem{number, std::move(*problem)};
        std::string title = TitleOfLine(lines[i]);
        if (title.size() > static_cast<size_t>(TitleBytes))
            return SettingsFileProblem{number, "a title holds at most 28 bytes, this one " +
                                                   std::to_string(title.size())};
        titles.push_back(std::move(title));
    }
    for (size_t i = 0; i < integers.size(); ++i)
        *integers[i].field = values[i];
    for (size_t i = 0; i < titleFields.size(); ++i)
        *titleFields[i] = std::move(titles[i]);
    return std::nullopt;
}
