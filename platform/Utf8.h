#pragma once

#include <cstddef>
#include <string_view>

// The length of the UTF-8 character that `text` starts with, 1 to 4; 0 where none starts there
// (a stray or cut sequence, an overlong form, a surrogate, a code past U+10FFFF).
size_t Utf8Length(std::string_view text);
