#pragma once

#include <string>
#include <string_view>

// The settings file: offsets, white levels and titles of both channels, one value a line in a
// fixed order of 134 lines, each ending in CR LF as on Windows. The two are mirrors; neither
// touches `modified`, which belongs to whoever opens and closes the file.

// The file's bytes for the record. Every title line reads back as exactly one token.
std::string WriteSettingsFile();

// Stores the values of `file` in the record, field by field in file order, without any range
// test. An integer that cannot be read keeps its field; a title that is missing becomes empty.
void ReadSettingsFile(std::string_view file);
