#pragma once

#include "platform/FileDialogs.h"

#include <deque>
#include <string>
#include <vector>

// Answers the file dialogs from a queue (Cancel when empty) and records which were asked for.
class RecordingFileDialogs : public FileDialogs
{
public:
    RecordingFileDialogs();
    ~RecordingFileDialogs() override;

    std::optional<std::string> askOpenPath() override;
    std::optional<std::string> askSavePath() override;

    static RecordingFileDialogs& installed();

    std::vector<std::string> asked; // "open" or "save", in order
    std::deque<std::optional<std::string>> answers;

private:
    std::optional<std::string> answer(const char* kind);
};
