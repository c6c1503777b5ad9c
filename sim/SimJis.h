#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The device receives every title character as a JIS X 0208 code; these turn such a code back
// into text.

// The Shift_JIS code of a JIS X 0208 code, or nothing when either byte lies outside 0x21..0x7E.
// Rows 89 to 92 (0x7921..0x7C7E) come out in the NEC-selected IBM extension area 0xED40..0xEEFC,
// which is where the tool's encoder sends the IBM extension characters.
std::optional<std::uint16_t> jisToShiftJis(std::uint16_t jis);

// The UTF-8 text of one JIS X 0208 code, or nothing when code page 932 has no character for it.
std::optional<std::string> jisToUtf8(std::uint16_t jis);
