#include "platform/ProfileText.h"

#include <string_view>
#include <vector>

namespace {

std::string_view trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A section header's name, or nothing for any other line.
std::optional<std::string_view> sectionName(std::string_view line)
{
    const std::string_view text = trimmed(line);
    if (text.size() < 2 || text.front() != '[' || text.back() != ']')
        return std::nullopt;
    return text.substr(1, text.size() - 2);
}

bool setsKey(std::string_view line, const std::string& key)
{
    const std::string_view text = trimmed(line);
    const size_t equals = text.find('=');
    return equals != std::string_view::npos && trimmed(text.substr(0, equals)) == key;
}

// Quoted as the INI reader expects where a plain value would be read differently: a comma would
// make it a list, a semicolon start a comment, and spaces at either end would be trimmed.
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

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, next - start));
        start = next;
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

} // namespace

std::string WithProfileKey(const std::string& text, const std::string& section,
                           const std::string& key, const std::optional<std::string>& value)
{
    const std::string newline = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    std::vector<std::string> lines = splitLines(text);
    // The INI reader lets the last of two equal keys count, and merges a section given twice.
    constexpr size_t None = std::string::npos;
    size_t keyAt = None;
    size_t sectionEnd = None; // after the section's last line that is not blank
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i])) {
            inSection = *name == section;
            if (inSection)
                sectionEnd = i + 1;
        } else if (inSection && !trimmed(lines[i]).empty()) {
            sectionEnd = i + 1;
            if (setsKey(lines[i], key))
                keyAt = i;
        }
    }
    const auto at = [](size_t index) { return static_cast<std::ptrdiff_t>(index); };
    if (keyAt != None && !value) {
        lines.erase(lines.begin() + at(keyAt));
        return joined(lines);
    }
    if (!value)
        return text;
    const std::string keyLine = key + '=' + iniValue(*value) + newline;
    if (keyAt != None) {
        lines[keyAt] = keyLine;
        return joined(lines);
    }
    const size_t before = sectionEnd != None ? sectionEnd : lines.size();
    if (before > 0 && lines[before - 1].back() != '\n')
        lines[before - 1] += newline;
    if (sectionEnd != None) {
        lines.insert(lines.begin() + at(sectionEnd), keyLine);
        return joined(lines);
    }
    const std::string header = (lines.empty() ? "" : newline) + '[' + section + ']' + newline;
    return joined(lines) + header + keyLine;
}
