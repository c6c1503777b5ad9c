#pragma once

#include <string>

// Makes the folder `path` and any folder missing above it, each open to this user only (0700):
// what they hold (titles, file names, port paths) is nobody else's business. Folders that exist
// keep their modes. False when `path` is no folder afterwards.
bool MakePrivateFolder(const std::string& path);
