#include "platform/FullWidth.h"

#include <iterator>
#include <string_view>

namespace {

constexpr char16_t FirstHalfWidthKana = 0xFF61;
constexpr char16_t VoicedMark = 0xFF9E;
constexpr char16_t SemiVoicedMark = 0xFF9F;
// U+FF61 to U+FF9F in order.
constexpr char16_t FullWidthKana[] = u"。「」、・ヲァィゥェォャュョッー"
                                     u"アイウエオカキクケコサシスセソタチツテトナニヌネノ"
                                     u"ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
static_assert(std::size(FullWidthKana) == SemiVoicedMark - FirstHalfWidthKana + 2);
constexpr std::u16string_view Voiceable = u"カキクケコサシスセソタチツテトハヒフヘホ";
constexpr std::u16string_view SemiVoiceable = u"ハヒフヘホ";

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

// The kana with the sound mark that follows it, or 0 where the two stay apart. Each voiced kana
// follows its plain one in Unicode, the semi-voiced one next; ヴ lies elsewhere.
char16_t Joined(char16_t kana, char16_t mark)
{
    if (mark == VoicedMark && kana == u'ウ')
        return u'ヴ';
    if (mark == VoicedMark && Voiceable.find(kana) != std::u16string_view::npos)
        return kana + 1;
    if (mark == SemiVoicedMark && SemiVoiceable.find(kana) != std::u16string_view::npos)
        return kana + 2;
    return 0;
}

} // namespace

QString ToFullWidth(const QString& text)
{
    QString wide;
    wide.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (IsBlank(c)) {
            wide += QChar(0x3000);
        } else if (c > u' ' && c < 0x7F) {
            wide += QChar(c - u' ' + 0xFF00);
        } else if (c == u'¥' || c == u'‾') { // JIS X 0201's two signs beside ASCII
            wide += QChar(c == u'¥' ? u'￥' : u'￣');
        } else if (c >= FirstHalfWidthKana && c <= SemiVoicedMark) {
            const char16_t kana = FullWidthKana[c - FirstHalfWidthKana];
            const char16_t joined = i + 1 < text.size() ? Joined(kana, text[i + 1].unicode()) : 0;
            wide += QChar(joined ? joined : kana);
            i += joined ? 1 : 0;
        } else {
            wide += QChar(c);
        }
    }
    return wide;
}
