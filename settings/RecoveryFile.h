#pragma once

#include "platform/SafeFile.h"

#include <string>

// The settings that an end without questions (a signal, the end of the desktop session) found
// unsaved, kept for the next start in $XDG_STATE_HOME/mrv508/recovery.dat. The file is a mark
// line, the name of the settings file the record belonged to (percent-encoded, empty for none),
// then the record's 134 lines as a settings file holds them.
struct Recovery
{
    enum class Found { None, Unreadable, Readable };

    Found found = Found::None;
    std::string fileName;
    std::string settings;
};

std::string RecoveryFilePath();

// Writes the record and `currentFileName` safely, in a file and folder private to the user.
WriteResult WriteRecoveryFile();

Recovery ReadRecoveryFile();

// Renames an unreadable file out of the way, never over another; the new path, or the old one
// when the rename fails.
std::string KeepRecoveryFileAside();

void RemoveRecoveryFile();
