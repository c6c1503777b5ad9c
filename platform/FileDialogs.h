#pragma once

#include <optional>
#include <string>

// The open and save dialogs of the settings files, behind an interface so that tests can answer
// them. Each returns the chosen path (in the file system's encoding), or nothing on Cancel. Save
// starts in the folder of `currentFile`, or in the home folder when there is none.
struct CsvSaveChoice
{
    std::string path;
    bool shiftJis = false; // "CSV (Shift_JIS)" was chosen rather than UTF-8
};

class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<std::string> askOpenPath() = 0;
    virtual std::optional<std::string> askSavePath(const std::string& currentFile) = 0;
    // A CSV file of titles; both start in the home folder.
    virtual std::optional<std::string> askOpenCsvPath() = 0;
    virtual std::optional<CsvSaveChoice> askSaveCsvPath() = 0;
};

FileDialogs& FileDialogsInUse();
void SetFileDialogs(FileDialogs* dialogs);
