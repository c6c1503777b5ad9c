#include "platform/MessageBoxes.h"
#include "res/Messages.h"

#include <cassert>

namespace {
MessageBoxes* installedBoxes = nullptr;
}

MessageBoxes& Boxes()
{
    assert(installedBoxes && "no message box interface installed");
    return *installedBoxes;
}

void SetBoxes(MessageBoxes* boxes)
{
    installedBoxes = boxes;
}

BoxRequest ErrorBox(const std::string& text)
{
    return {text, Caption::Error, BoxIcon::Error, BoxSound::QuestionSound, BoxOwner::MessageOwner};
}

BoxRequest WarningBox(const std::string& text)
{
    return {text, Caption::Error, BoxIcon::Warning, BoxSound::QuestionSound,
            BoxOwner::MessageOwner};
}

void ShowError(const std::string& text)
{
    Boxes().show(ErrorBox(text));
}

void ShowWarning(const std::string& text)
{
    Boxes().show(WarningBox(text));
}
