#pragma once

#include <cstddef>
#include <string_view>

// The length of the UTF-8 character that `text` starts with, 1 to 4; 0 where none starts there
// (a stray or cut sequence, an overlong form, a surrogate, a code past U+10FFFF).
size_t Utf8Length(std::string_view text);

inline constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// Whether `bytes` are text from a UTF-8 editor rather than CP932: they start with a UTF-8 byte
// order mark, or every character reads whole as UTF-8 and some are of three bytes (kana, kanji,
// full-width forms), which CP932 text hardly ever makes. Two-byte forms alone are not enough:
// pairs of CP932's half-width katakana make them ("ﾃｲ" reads as "ò").
bool IsUtf8Text(std::string_view bytes);
