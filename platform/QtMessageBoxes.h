#pragma once

#include "platform/MessageBoxes.h"

// The operator's message boxes: a beep, then an application-modal box.
class QtMessageBoxes : public MessageBoxes
{
public:
    void show(const BoxRequest& box) override;
    bool askYesNo(const std::string& question) override;
};
