#include "support/RecordingBoxes.h"

#include <QTest>

namespace {
RecordingBoxes* current = nullptr;
}

RecordingBoxes::RecordingBoxes()
{
    current = this;
}

RecordingBoxes::~RecordingBoxes()
{
    current = nullptr;
}

RecordingBoxes& RecordingBoxes::installed()
{
    return *current;
}

void RecordingBoxes::show(const BoxRequest& box)
{
    shown.push_back(box);
}

bool RecordingBoxes::askYesNo(const std::string& question)
{
    questions.push_back(question);
    if (answers.empty())
        return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

std::vector<std::string> RecordingBoxes::shownTexts() const
{
    std::vector<std::string> texts;
    for (const BoxRequest& box : shown)
        texts.push_back(box.text);
    return texts;
}

void RecordingBoxes::clear()
{
    shown.clear();
    questions.clear();
    answers.clear();
}

bool RecordingBoxes::waitForBoxes(size_t count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return shown.size() >= count; }, timeoutMs);
}
