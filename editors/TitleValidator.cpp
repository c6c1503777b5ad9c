#include "editors/TitleValidator.h"

#include "editors/TitleCommand.h"
#include "platform/Cp932.h"

QValidator::State TitleValidator::validate(QString& input, int& position) const
{
    input.replace(QLatin1Char(' '), QChar(0x3000)).replace(QLatin1Char('\t'), QChar(0x3000));
    std::optional<std::string> bytes = ToCp932(input);
    if (!bytes)
        return Invalid;
    // A paste or a commit ends at the cursor: what does not fit is cut from its end, so that the
    // text already in the box stays. Every character here has a CP932 code, so none is a pair.
    while (bytes->size() > TitleBytes && position > 0) {
        input.remove(--position, 1);
        bytes = ToCp932(input);
    }
    return bytes->size() <= TitleBytes ? Acceptable : Invalid;
}
