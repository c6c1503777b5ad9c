#include "settings/SettingsFile.h"

#include "settings/DeviceSettings.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view EmptyTitle = "s";
constexpr std::string_view FullWidthBlank = "\x81\x40";
// The reader's line buffer: 33 bytes of text and a terminator.
constexpr size_t TitleBufferBytes = 33;

// The integer fields in the order of their lines; both directions walk this one list.
std::vector<int*> IntegerLines()
{
    DeviceSettingsRecord& s = DeviceSettings;
    std::vector<int*> lines = {&s.vOffset[0], &s.vOffset[1], &s.hOffset[0], &s.hOffset[1]};
    for (auto& channel : s.whiteLevel)
        for (int& level : channel)
            lines.push_back(&level);
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
// title; a full-width one keeps the line a single token.
std::string TitleLine(const std::string& title)
{
    if (title.empty())
        return std::string(EmptyTitle);
    std::string line;
    for (size_t pos = 0; pos < title.size();) {
        const size_t length = CharLength(title, pos);
        if (length == 1 && IsBlank(title[pos]))
            line += FullWidthBlank;
        else
            line.append(title, pos, length);
        pos += length;
    }
    return std::string(FitToBuffer(line));
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

} // namespace

std::string WriteSettingsFile()
{
    std::string file;
    for (const int* value : IntegerLines())
        file.append(std::to_string(*value)).append(LineEnd);
    for (const auto& channel : DeviceSettings.title)
        for (const std::string& title : channel)
            file.append(TitleLine(title)).append(LineEnd);
    return file;
}

void ReadSettingsFile(std::string_view file)
{
    for (int* value : IntegerLines())
        ReadInteger(file, *value);
    for (auto& channel : DeviceSettings.title)
        for (std::string& title : channel)
            title = ReadTitle(file);
}
