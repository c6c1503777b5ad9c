#include "platform/FileDialogs.h"

#include <cassert>

namespace {
FileDialogs* installedDialogs = nullptr;
}

FileDialogs& FileDialogsInUse()
{
    assert(installedDialogs && "no file dialog interface installed");
    return *installedDialogs;
}

void SetFileDialogs(FileDialogs* dialogs)
{
    installedDialogs = dialogs;
}
