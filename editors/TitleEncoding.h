#pragma once

#include <cstdint>

// The device's title encoding: each two-byte CP932 code of a title goes out as its JIS X 0208
// code. Pure, so that the settings file's reader can ask what the device takes.

// The JIS X 0208 code that the device is sent for one two-byte CP932 code, or 0 for none.
std::uint16_t TitleCharacterToJis(std::uint16_t code);

// An IBM extension code (0xFA5C and up) as the same character in the NEC-selected IBM extension
// area, or 0 for a code without a character.
std::uint16_t MapIbmExtension(std::uint16_t code);
