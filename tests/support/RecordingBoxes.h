#pragma once

#include "platform/MessageBoxes.h"

#include <deque>
#include <string>
#include <vector>

inline const BoxRequest SuccessBox{"Success", "設定完了", BoxIcon::None, BoxSound::SimpleBeep,
                                   BoxOwner::MessageOwner};

// Records every box instead of showing it, and answers questions from a queue (No when empty).
class RecordingBoxes : public MessageBoxes
{
public:
    RecordingBoxes();
    ~RecordingBoxes() override;

    void show(const BoxRequest& box) override;
    bool askYesNo(const std::string& question) override;

    static RecordingBoxes& installed();

    std::vector<BoxRequest> shown;
    std::vector<std::string> questions;
    std::deque<bool> answers;

    std::vector<std::string> shownTexts() const;
    void clear();
    // Spins the event loop until `count` boxes have been shown or the bound passes.
    bool waitForBoxes(size_t count, int timeoutMs = 5000);
};

// The recorder the test process installed.
inline RecordingBoxes& boxes()
{
    return RecordingBoxes::installed();
}
