#pragma once

#include <optional>
#include <string>

// The profile's INI text, read and rewritten by the same rules, so that what the tool reads after
// a write is what it wrote. A byte-order mark is no part of the first line; `;` and `#` lines
// are comments; a section given twice counts as one; keys before the first section belong to
// none. Of a key given twice the last line counts.

// The first line that is none of a blank, a comment, a [section] or a key=value, as
// "LINE: what is wrong"; nothing for a text the tool may read and rewrite.
std::optional<std::string> ProfileTextProblem(const std::string& text);

// The value the key's last line gives: a quoted value ("...", backslash escapes) as its content,
// any other up to a `;` comment, blanks around it trimmed. Nothing when no line sets the key.
std::optional<std::string> ProfileValue(const std::string& text, const std::string& section,
                                        const std::string& key);

// The text with one key set on every line that sets it (or, given no value, those lines removed),
// the rest byte for byte: comments, blank lines, the order of sections and keys, keys the tool
// does not know and a byte-order mark stay. A key that is not there yet goes at the end of its
// section, a section that is not there at the end of the text. New lines take the line ending
// the text already uses.
std::string WithProfileKey(const std::string& text, const std::string& section,
                           const std::string& key, const std::optional<std::string>& value);
