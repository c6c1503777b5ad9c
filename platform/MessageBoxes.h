#pragma once

#include <string>

enum class BoxIcon { None, Error, Warning, Question };
enum class BoxSound { SimpleBeep, QuestionSound };
// Who owns a box: nobody (link set-up errors), the window that last sent a command, or the main
// window (questions and the framework's own boxes).
enum class BoxOwner { None, MessageOwner, MainWindow };

struct BoxRequest
{
    std::string text;
    std::string caption;
    BoxIcon icon = BoxIcon::None;
    BoxSound sound = BoxSound::SimpleBeep;
    BoxOwner owner = BoxOwner::MessageOwner;

    bool operator==(const BoxRequest&) const = default;
};

// Every message box of the program goes through this interface so that tests can record and
// answer them. Its calls run on the window thread only.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual void show(const BoxRequest& box) = 0;
    virtual bool askYesNo(const std::string& question) = 0;
};

MessageBoxes& Boxes();
void SetBoxes(MessageBoxes* boxes);

BoxRequest ErrorBox(const std::string& text);
BoxRequest WarningBox(const std::string& text);

void ShowError(const std::string& text);
void ShowWarning(const std::string& text);
