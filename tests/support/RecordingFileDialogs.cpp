#include "support/RecordingFileDialogs.h"

namespace {
RecordingFileDialogs* current = nullptr;
}

RecordingFileDialogs::RecordingFileDialogs()
{
    current = this;
}

RecordingFileDialogs::~RecordingFileDialogs()
{
    current = nullptr;
}

RecordingFileDialogs& RecordingFileDialogs::installed()
{
    return *current;
}

std::optional<std::string> RecordingFileDialogs::askOpenPath()
{
    return answer("open");
}

std::optional<std::string> RecordingFileDialogs::askSavePath()
{
    return answer("save");
}

std::optional<std::string> RecordingFileDialogs::answer(const char* kind)
{
    asked.push_back(kind);
    if (answers.empty())
        return std::nullopt;
    std::optional<std::string> path = answers.front();
    answers.pop_front();
    return path;
}
