#pragma once

#include "settings/SettingsFile.h"

#include <optional>
#include <string>
#include <string_view>

// Opening and closing settings files for the document commands. Both clear `modified` on success
// only; on failure the record and `modified` stay as they were, and so does any file already at
// `path` unless it had to be written in place.

// How the titles were written; nothing when `path` is no regular file that can be read whole.
std::optional<TitleEncoding> ReadSettingsFileAt(const std::string& path);

// For sending: reads `path` with ReadSettingsFileStrict. Empty on success, else
// "PATH:LINE: what is wrong" (or "PATH: cannot read the file").
std::string ReadSettingsFileStrictAt(const std::string& path);

// Writes the record to `path` as WriteFileAt does.
bool WriteSettingsFileAt(const std::string& path);

// The whole file at `path`; nothing when it is no regular file that can be read whole.
std::optional<std::string> ReadFileAt(const std::string& path);

// Writes a temporary file beside `path` and renames it over `path` once every byte is on disk.
// A file with more names than one, or in a folder that takes no temporary file, is written in
// place, so that every name keeps showing the same file; every write is still checked.
bool WriteFileAt(const std::string& path, std::string_view bytes);
