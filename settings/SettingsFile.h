#pragma once

#include <optional>
#include <string>
#include <string_view>

// The settings file: offsets, white levels and titles of both channels, one value a line in a
// fixed order of 134 lines, each ending in CR LF as on Windows. The two are mirrors; neither
// touches `modified`, which belongs to whoever opens and closes the file.

constexpr int SettingsFileLines = 134;

// The file's bytes for the record. Every title line reads back as exactly one token.
std::string WriteSettingsFile();

// How a file's titles were written: in CP932, as the tool writes them, or in UTF-8, as other
// editors may (see IsUtf8Text).
enum class TitleEncoding { Cp932, Utf8 };

// Stores the values of `file` in the record, field by field in file order, without any range
// test. An integer that cannot be read keeps its field; a title that is missing becomes empty.
// A file of exactly 134 lines is read line by line, each title whole with its half-width blanks
// made full-width; any other is read as white-space separated tokens. The titles of a UTF-8 file
// are made CP932, a character that CP932 lacks becoming "？", and cut to 28 bytes.
TitleEncoding ReadSettingsFile(std::string_view file);

// Where a file that is to be sent goes wrong: its line (from 1) and what is wrong there.
struct SettingsFileProblem
{
    int line = 0;
    std::string what;
};

// For sending, where a guess would reach every device: the record takes `file` only when it has
// exactly 134 lines (CR LF, LF or CR; the last may lack its end), no byte order mark and no NUL,
// every integer is inside the device's range and every title is CP932 text of at most 28 bytes
// (one with half-width characters that reads as UTF-8 is taken for UTF-8). Otherwise the record
// stays as it was and the first problem is returned.
std::optional<SettingsFileProblem> ReadSettingsFileStrict(std::string_view file);
