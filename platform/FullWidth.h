#pragma once

#include <QString>

// `text` with its half-width characters in their full-width forms, as the device shows only
// full-width ones: ASCII letters, digits and signs (A to Ａ), ¥ and ‾, the blanks (to the
// ideographic blank) and half-width katakana, a sound mark joining the kana before it where CP932
// has the pair as one character (ｶﾞ to ガ, ﾊﾟ to パ). Everything else stays.
QString ToFullWidth(const QString& text);
