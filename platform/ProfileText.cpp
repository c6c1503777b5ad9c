#include "platform/ProfileText.h"

#include <string_view>
#include <vector>

namespace {

const std::string Bom = "\xEF\xBB\xBF";

std::string_view trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool isComment(std::string_view line)
{
    const std::string_view text = trimmed(line);
    return text.starts_with(';') || text.starts_with('#');
}

// A section header's name, or nothing for any other line.
std::optional<std::string_view> sectionName(std::string_view line)
{
    const std::string_view text = trimmed(line);
    if (text.size() < 2 || text.front() != '[' || text.back() != ']')
        return std::nullopt;
    return text.substr(1, text.size() - 2);
}

// The key a line that is no section header sets, or nothing.
std::optional<std::string_view> keyName(std::string_view line)
{
    const std::string_view text = trimmed(line);
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos || isComment(text))
        return std::nullopt;
    const std::string_view key = trimmed(text.substr(0, equals));
    return key.empty() ? std::nullopt : std::optional(key);
}

// A key line's value, as the header describes it.
std::string valueOf(std::string_view line)
{
    const std::string_view text = trimmed(line);
    const std::string_view value = trimmed(text.substr(text.find('=') + 1));
    if (!value.starts_with('"'))
        return std::string(trimmed(value.substr(0, value.find(';'))));
    std::string content;
    for (size_t i = 1; i < value.size() && value[i] != '"'; ++i) {
        if (value[i] == '\\' && i + 1 < value.size())
            ++i;
        content += value[i];
    }
    return content;
}

// Quoted as the reader expects where a plain value would be read differently: a semicolon
// would start a comment, spaces at either end would be trimmed, and other INI readers take a
// comma for a list and an @ for a type.
std::string iniValue(const std::string& value)
{
    const bool special = value.find_first_of(",;\"\\=#") != std::string::npos;
    const bool padded = !value.empty() && (value.front() == ' ' || value.back() == ' ');
    if (!special && !padded && !value.starts_with('@'))
        return value;
    std::string quoted = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// The lines after any byte-order mark, each with its end.
std::vector<std::string> splitLines(std::string_view text)
{
    if (text.starts_with(Bom))
        text.remove_prefix(Bom.size());
    std::vector<std::string> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        lines.emplace_back(text.substr(0, next));
        text.remove_prefix(next);
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line;
    return text;
}

struct Places
{
    std::vector<size_t> keyLines;
    std::optional<size_t> sectionEnd; // after the section's last line that is not blank
};

Places placesOf(const std::vector<std::string>& lines, const std::string& section,
                const std::string& key)
{
    Places places;
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i])) {
            inSection = *name == section;
            if (inSection)
                places.sectionEnd = i + 1;
        } else if (inSection && !trimmed(lines[i]).empty()) {
            places.sectionEnd = i + 1;
            if (keyName(lines[i]) == key)
                places.keyLines.push_back(i);
        }
    }
    return places;
}

} // namespace

std::optional<std::string> ProfileTextProblem(const std::string& text)
{
    const std::vector<std::string> lines = splitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (!trimmed(line).empty() && !isComment(line) && !sectionName(line) && !keyName(line))
            return std::to_string(i + 1) + ": neither a [section], a key=value nor a comment";
    }
    return std::nullopt;
}

std::optional<std::string> ProfileValue(const std::string& text, const std::string& section,
                                        const std::string& key)
{
    const std::vector<std::string> lines = splitLines(text);
    const Places places = placesOf(lines, section, key);
    if (places.keyLines.empty())
        return std::nullopt;
    return valueOf(lines[places.keyLines.back()]);
}

std::string WithProfileKey(const std::string& text, const std::string& section,
                           const std::string& key, const std::optional<std::string>& value)
{
    const std::string bom = text.starts_with(Bom) ? Bom : "";
    const std::string newline = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    const std::string keyLine = value ? key + '=' + iniValue(*value) + newline : "";
    std::vector<std::string> lines = splitLines(text);
    const Places places = placesOf(lines, section, key);
    const auto at = [](size_t index) { return static_cast<std::ptrdiff_t>(index); };
    // From the last, so that removing one leaves the earlier ones where they are.
    for (auto line = places.keyLines.rbegin(); line != places.keyLines.rend(); ++line) {
        if (value)
            lines[*line] = keyLine;
        else
            lines.erase(lines.begin() + at(*line));
    }
    if (!places.keyLines.empty() || !value)
        return bom + joined(lines);
    const size_t before = places.sectionEnd.value_or(lines.size());
    if (before > 0 && !lines[before - 1].ends_with('\n'))
        lines[before - 1] += newline;
    if (places.sectionEnd) {
        lines.insert(lines.begin() + at(before), keyLine);
        return bom + joined(lines);
    }
    const std::string header = (lines.empty() ? "" : newline) + '[' + section + ']' + newline;
    return bom + joined(lines) + header + keyLine;
}
