#pragma once

#include <optional>
#include <string>

// The profile's text with one key set (or, given no value, removed), the rest byte for byte:
// comments, blank lines, the order of sections and keys, and keys the tool does not know stay.
// A key that is not there yet goes at the end of its section, a section that is not there at the
// end of the text. New lines take the line ending the text already uses.
std::string WithProfileKey(const std::string& text, const std::string& section,
                           const std::string& key, const std::optional<std::string>& value);
