#pragma once

#include <QValidator>

// What the title edit box lets in, typed, pasted or committed by an input method: at most 28
// CP932 bytes of characters that CP932 has; what would go beyond is cut off. A half-width blank or
// tab becomes the full-width blank, since a blank would split the title in two in a settings file.
class TitleValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};
