#pragma once

#include <QString>
#include <optional>
#include <string>

// Titles are kept as code page 932 bytes, the device's own encoding; the edit box holds Unicode.
// Both directions go through glibc's iconv.

// The CP932 bytes of `text`, or nothing when a character has no CP932 code.
std::optional<std::string> ToCp932(const QString& text);

// The text of CP932 bytes; a byte that starts no character (from a damaged file) is left out.
QString FromCp932(const std::string& bytes);

// The text of CP932 bytes, or nothing when a byte starts no character.
std::optional<QString> FromCp932Strict(const std::string& bytes);

// The longest start of `bytes` of at most `limit` bytes that ends on a character boundary.
std::string Cp932Prefix(const std::string& bytes, size_t limit);
