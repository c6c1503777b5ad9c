#include "editors/TitleEncoding.h"

namespace {

// Shift_JIS to JIS X 0208 for a code whose lead and trail bytes lie in Shift_JIS's ranges.
std::uint16_t shiftJisToJis(std::uint16_t code)
{
    const unsigned lead = code >> 8;
    const unsigned trail = code & 0xFF;
    const bool leadOk = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    const bool trailOk = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC);
    if (!leadOk || !trailOk)
        return 0;
    const unsigned row = lead <= 0x9F ? lead - 0x81 : lead - 0xC1;
    if (trail >= 0x9F)
        return static_cast<std::uint16_t>((2 * row + 0x22) << 8 | (trail - 0x7E));
    return static_cast<std::uint16_t>((2 * row + 0x21) << 8 |
                                      (trail < 0x80 ? trail - 0x1F : trail - 0x20));
}

} // namespace

std::uint16_t MapIbmExtension(std::uint16_t code)
{
    struct Range
    {
        std::uint16_t first, last, offset;
    };
    static constexpr Range Ranges[] = {
        {0xFA5C, 0xFA7E, 0x0D1C}, {0xFA9C, 0xFAFC, 0x0D1C}, {0xFB5C, 0xFB7E, 0x0D1C},
        {0xFB9C, 0xFBFC, 0x0D1C}, {0xFA80, 0xFA9B, 0x0D1D}, {0xFB80, 0xFB9B, 0x0D1D},
        {0xFB40, 0xFB5B, 0x0D5F}, {0xFC40, 0xFC4B, 0x0D5F},
    };
    for (const Range& range : Ranges)
        if (code >= range.first && code <= range.last)
            return static_cast<std::uint16_t>(code - range.offset);
    return 0;
}

std::uint16_t TitleCharacterToJis(std::uint16_t code)
{
    if (code >= 0xFA40 && code <= 0xFA49) // small Roman numerals
        return static_cast<std::uint16_t>(code - 0x7DCF);
    if (code >= 0xFA55 && code <= 0xFA57) // broken bar, apostrophe, quotation mark
        return static_cast<std::uint16_t>(code - 0x7DD9);
    if (code >= 0xFA5C)
        code = MapIbmExtension(code);
    return shiftJisToJis(code);
}
