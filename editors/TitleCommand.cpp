#include "editors/TitleCommand.h"

#include "editors/TitleEncoding.h"
#include "link/CommLink.h"
#include "settings/DeviceSettings.h"

std::string paddedTitle;

namespace {

constexpr const char* FullWidthBlank = "\x81\x40";

} // namespace

bool TitleShowable(const std::string& title)
{
    if (title.size() > TitleBytes || title.size() % 2 != 0)
        return false;
    std::string padded = title;
    while (padded.size() < TitleBytes)
        padded += FullWidthBlank;
    return MakeTitleCommand(0, 0, padded).has_value();
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
