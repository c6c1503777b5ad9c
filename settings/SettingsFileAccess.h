#pragma once

#include <string>

// Opening and closing settings files for the document commands. Both clear `modified` on success
// only; on failure the record, `modified` and any file already at `path` stay as they were.

// False when `path` is no regular file that can be read whole.
bool ReadSettingsFileAt(const std::string& path);

// For sending: reads `path` with ReadSettingsFileStrict. Empty on success, else
// "PATH:LINE: what is wrong" (or "PATH: cannot read the file").
std::string ReadSettingsFileStrictAt(const std::string& path);

// Writes a temporary file beside `path` and renames it over `path` once every byte is on disk.
bool WriteSettingsFileAt(const std::string& path);
