#include "editors/TitleValidator.h"

#include "editors/TitleCommand.h"
#include "platform/Cp932.h"

#include <algorithm>

QValidator::State TitleValidator::validate(QString& input, int& position) const
{
    input.replace(QLatin1Char(' '), QChar(0x3000)).replace(QLatin1Char('\t'), QChar(0x3000));
    if (!ToCp932(input))
        return Invalid;
    // A paste or a commit ends at the cursor: what does not fit is cut from its end, so that the
    // text already in the box stays. Every character here has a CP932 code, so none is a pair and
    // the bytes kept decode to as many characters as are kept. One pass, however long the paste.
    constexpr auto Room = static_cast<size_t>(TitleBytes);
    const size_t after = ToCp932(input.mid(position)).value().size();
    const std::string before = ToCp932(input.left(position)).value();
    const auto kept =
        static_cast<int>(FromCp932(Cp932Prefix(before, Room - std::min(after, Room))).size());
    input.remove(kept, position - kept);
    position = kept;
    return after <= Room ? Acceptable : Invalid;
}
