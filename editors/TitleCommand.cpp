#include "editors/TitleCommand.h"

#include "link/CommLink.h"
#include "settings/DeviceSettings.h"

std::string paddedTitle;

namespace {

constexpr const char* FullWidthBlank = "\x81\x40";

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

std::optional<std::string> MakeTitleCommand(int channel, int position, const std::string& padded)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    if (padded.size() != TitleBytes)
        return std::nullopt;
    std::string line = "CA01B0121212121212121212121212121212121212121212121212121212121\r\n";
    if (channel != 0)
        line[3] = '2';
    const int number = position + 1;
    if (position == 32)
        line.replace(4, 3, "TOP");
    else if (position < 9)
        line[6] = static_cast<char>('0' + number);
    else {
        line[5] = static_cast<char>('0' + number / 10);
        line[6] = static_cast<char>('0' + number % 10);
    }
    for (std::size_t k = 0; k < TitleBytes / 2; ++k) {
        const auto lead = static_cast<unsigned char>(padded[2 * k]);
        const auto trail = static_cast<unsigned char>(padded[2 * k + 1]);
        const std::uint16_t jis =
            TitleCharacterToJis(static_cast<std::uint16_t>(lead << 8 | trail));
        if (jis == 0)
            return std::nullopt;
        for (int digit = 0; digit < 4; ++digit)
            line[7 + 4 * k + digit] = Hex[(jis >> (12 - 4 * digit)) & 0xF];
    }
    return line;
}

int PadTitle(int channel, int position)
{
    const std::string& title = DeviceSettings.title[channel][position];
    if (title.size() > TitleBytes || title.size() % 2 != 0)
        return 0;
    paddedTitle = title;
    while (paddedTitle.size() < TitleBytes)
        paddedTitle += FullWidthBlank;
    return 1;
}

int SendTitle(int channel, int position)
{
    const std::optional<std::string> command = MakeTitleCommand(channel, position, paddedTitle);
    if (!command)
        return 1;
    SerialLink.SendCommand(*command);
    return 0;
}
