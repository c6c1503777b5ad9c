#include "platform/Utf8.h"

namespace {

// The lead bytes of one length, and the range their second byte must lie in (Unicode's table of
// well-formed sequences); later bytes are 0x80 to 0xBF.
struct Form
{
    unsigned char firstLead, lastLead, lowSecond, highSecond;
    size_t length;
};

constexpr Form Forms[] = {
    {0xC2, 0xDF, 0x80, 0xBF, 2}, {0xE0, 0xE0, 0xA0, 0xBF, 3}, {0xE1, 0xEC, 0x80, 0xBF, 3},
    {0xED, 0xED, 0x80, 0x9F, 3}, {0xEE, 0xEF, 0x80, 0xBF, 3}, {0xF0, 0xF0, 0x90, 0xBF, 4},
    {0xF1, 0xF3, 0x80, 0xBF, 4}, {0xF4, 0xF4, 0x80, 0x8F, 4},
};

} // namespace

size_t Utf8Length(std::string_view text)
{
    const auto byte = [text](size_t pos) { return static_cast<unsigned char>(text[pos]); };
    if (text.empty())
        return 0;
    if (byte(0) < 0x80)
        return 1;
    for (const Form& form : Forms) {
        if (byte(0) < form.firstLead || byte(0) > form.lastLead)
            continue;
        if (text.size() < form.length || byte(1) < form.lowSecond || byte(1) > form.highSecond)
            return 0;
        for (size_t pos = 2; pos < form.length; ++pos)
            if (byte(pos) < 0x80 || byte(pos) > 0xBF)
                return 0;
        return form.length;
    }
    return 0;
}

bool IsUtf8Text(std::string_view bytes)
{
    if (bytes.starts_with(Utf8Bom))
        return true;
    bool kanaOrKanji = false;
    for (size_t pos = 0, length = 0; pos < bytes.size(); pos += length) {
        length = Utf8Length(bytes.substr(pos));
        if (length == 0)
            return false;
        kanaOrKanji = kanaOrKanji || length >= 3;
    }
    return kanaOrKanji;
}
