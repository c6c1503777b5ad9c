#pragma once

#include "platform/FileDialogs.h"

// Qt's own file dialogs, owned by the main window: a filter for "*.dat" (or "*.csv"), that suffix
// added to a name typed without one, and a question before an existing file is replaced.
class QtFileDialogs : public FileDialogs
{
public:
    std::optional<std::string> askOpenPath() override;
    std::optional<std::string> askSavePath(const std::string& currentFile) override;
    std::optional<std::string> askOpenCsvPath() override;
    std::optional<CsvSaveChoice> askSaveCsvPath() override;
};
