#pragma once

#include "platform/SafeFile.h"
#include "settings/SettingsFile.h"

#include <optional>
#include <string>

// Opening and closing settings files for the document commands. Both clear `modified` on success
// only; on failure the record and `modified` stay as they were (WriteFileSafely tells what becomes
// of the file).

// How the titles were written; nothing when `path` is no regular file that can be read whole.
std::optional<TitleEncoding> ReadSettingsFileAt(const std::string& path);

// For sending: reads `path` with ReadSettingsFileStrict. Empty on success, else
// "PATH:LINE: what is wrong" (or "PATH: cannot read the file").
std::string ReadSettingsFileStrictAt(const std::string& path);

// Writes the record to `path` with WriteFileSafely.
WriteResult WriteSettingsFileAt(const std::string& path);

// The whole file at `path`; nothing when it is no regular file that can be read whole.
std::optional<std::string> ReadFileAt(const std::string& path);
