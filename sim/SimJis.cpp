#include "sim/SimJis.h"

#include <iconv.h>

namespace {

bool isJisByte(unsigned byte)
{
    return byte >= 0x21 && byte <= 0x7E;
}

std::optional<std::string> cp932ToUtf8(std::string input)
{
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    char out[16];
    char* in = input.data();
    size_t inLeft = input.size();
    char* outPtr = out;
    size_t outLeft = sizeof out;
    const size_t converted = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (converted == static_cast<size_t>(-1) || inLeft != 0)
        return std::nullopt;
    return std::string(out, outPtr);
}

} // namespace

std::optional<std::uint16_t> jisToShiftJis(std::uint16_t jis)
{
    const unsigned high = jis >> 8;
    const unsigned low = jis & 0xFF;
    if (!isJisByte(high) || !isJisByte(low))
        return std::nullopt;

    // Two JIS rows share one Shift_JIS lead byte: odd rows take the lower trail bytes, which skip
    // 0x7F, and even rows the upper ones from 0x9F.
    const unsigned leadIndex = (high - 0x21) / 2;
    const unsigned lead = leadIndex + (leadIndex <= 0x1E ? 0x81 : 0xC1);
    unsigned trail;
    if (high % 2 == 0)
        trail = low + 0x7E;
    else
        trail = low + (low <= 0x5F ? 0x1F : 0x20);
    return static_cast<std::uint16_t>(lead << 8 | trail);
}

std::optional<std::string> jisToUtf8(std::uint16_t jis)
{
    const auto sjis = jisToShiftJis(jis);
    if (!sjis)
        return std::nullopt;
    return cp932ToUtf8({static_cast<char>(*sjis >> 8), static_cast<char>(*sjis & 0xFF)});
}
