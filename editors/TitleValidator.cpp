#include "editors/TitleValidator.h"

#include "editors/TitleCommand.h"
#include "platform/Cp932.h"

QValidator::State TitleValidator::validate(QString& input, int&) const
{
    input.replace(QLatin1Char(' '), QChar(0x3000)).replace(QLatin1Char('\t'), QChar(0x3000));
    const std::optional<std::string> bytes = ToCp932(input);
    return bytes && bytes->size() <= TitleBytes ? Acceptable : Invalid;
}
