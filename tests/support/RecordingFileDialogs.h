#pragma once

#include "platform/FileDialogs.h"

#include <deque>
#include <string>
#include <vector>

// Answers the file dialogs from a queue (Cancel when empty) and records which were asked for.
class RecordingFileDialogs : public FileDialogs
{
public:
    std::optional<std::string> askOpenPath() override { return answer("open"); }
    std::optional<std::string> askSavePath(const std::string&) override { return answer("save"); }
    std::optional<std::string> askOpenCsvPath() override { return answer("open csv"); }
    std::optional<CsvSaveChoice> askSaveCsvPath() override
    {
        const std::optional<std::string> path = answer("save csv");
        return path ? std::optional(CsvSaveChoice{*path, csvShiftJis}) : std::nullopt;
    }

    std::vector<std::string> asked; // "open" or "save", in order
    std::deque<std::optional<std::string>> answers;
    bool csvShiftJis = false;

private:
    std::optional<std::string> answer(const char* kind)
    {
        asked.push_back(kind);
        std::optional<std::string> path;
        if (!answers.empty()) {
            path = answers.front();
            answers.pop_front();
        }
        return path;
    }
};

// The recorder every test installs.
inline RecordingFileDialogs& fileDialogs()
{
    static RecordingFileDialogs recorder;
    return recorder;
}
