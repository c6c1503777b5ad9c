#include "ledger/CommandItem.h"

#include "platform/Cp932.h"
#include "settings/DeviceSettings.h"

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view FullWidthBlank = "\u3000";

std::string channelName(int channel)
{
    return "ch." + std::to_string(channel + 1);
}

// Decimal digits only, as a number within low..high.
std::optional<int> number(std::string_view digits, int low, int high)
{
    if (digits.empty())
        return std::nullopt;
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value >= low && value <= high ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> channelDigit(char digit)
{
    const auto channel = number(std::string_view(&digit, 1), 1, ChannelCount);
    return channel ? std::optional<int>(*channel - 1) : std::nullopt;
}

std::optional<int> hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::nullopt;
}

// The CP932 code of a JIS X 0208 code, the reverse of the title command's encoding.
std::string shiftJis(int jis)
{
    const int row = jis >> 8;
    const int cell = jis & 0xFF;
    const int lead = (row + 1) / 2 + (row <= 0x5E ? 0x70 : 0xB0);
    const int trail = cell + (row % 2 != 0 ? (cell <= 0x5F ? 0x1F : 0x20) : 0x7E);
    return {static_cast<char>(lead), static_cast<char>(trail)};
}

// The title's text without its trailing full-width blanks; the hex digits as they are when
// they are no JIS codes.
std::optional<std::string> titleText(std::string_view hex)
{
    std::string cp932;
    for (size_t at = 0; at < hex.size(); at += 4) {
        int jis = 0;
        for (size_t digit = 0; digit < 4; ++digit) {
            const auto value = hexDigit(hex[at + digit]);
            if (!value)
                return std::nullopt;
            jis = jis << 4 | *value;
        }
        if ((jis >> 8) < 0x21 || (jis >> 8) > 0x7E || (jis & 0xFF) < 0x21 || (jis & 0xFF) > 0x7E)
            return std::string(hex);
        cp932 += shiftJis(jis);
    }
    std::string text = FromCp932(cp932).toStdString();
    while (text.ends_with(FullWidthBlank))
        text.resize(text.size() - FullWidthBlank.size());
    return text;
}

std::optional<CommandItem> title(std::string_view body)
{
    const auto channel = channelDigit(body[3]);
    const std::string_view place = body.substr(4, 3);
    const auto bottom = place[0] == 'B' ? number(place.substr(1), 1, TitleCount - 1) : std::nullopt;
    const std::optional<int> position = place == "TOP" ? TitleCount - 1
                                        : bottom       ? *bottom - 1
                                                       : bottom;
    const std::string_view hex = body.substr(7);
    const auto text = titleText(hex);
    if (!channel || !position || !text)
        return std::nullopt;
    return CommandItem{TitleItem(*channel, *position), std::string(hex), *text};
}

// A command that sets a number: the channel digit at `channelAt`, the value's digits last.
template <typename Naming>
std::optional<CommandItem> numbered(std::string_view body, size_t channelAt, size_t valueAt,
                                    int low, int high, Naming name)
{
    const auto channel = channelDigit(body[channelAt]);
    const auto value = number(body.substr(valueAt), low, high);
    const std::optional<std::string> item = channel ? name(*channel) : std::nullopt;
    if (!value || !item)
        return std::nullopt;
    return CommandItem{*item, std::string(body.substr(valueAt)), std::to_string(*value)};
}

std::optional<CommandItem> command(std::string_view body)
{
    if (body.starts_with("CA0") && body.size() == 63)
        return title(body);
    if (body.starts_with("WL0") && body.size() == 7)
        return numbered(body, 3, 6, 0, WhiteLevelCount - 1,
                        [&](int channel) -> std::optional<std::string> {
                            const auto picture = number(body.substr(4, 2), 1, PictureCount);
                            return picture ? std::optional(WhiteLevelItem(channel, *picture - 1))
                                           : std::nullopt;
                        });
    if (body.starts_with("VER0") && body.size() == 7)
        return numbered(body, 4, 5, 0, VerticalOffsetCount - 1,
                        [](int channel) { return std::optional(OffsetItem("VER", channel)); });
    if (body.starts_with("HOR0") && body.size() == 7)
        return numbered(body, 4, 5, 0, HorizontalOffsetCount - 1,
                        [](int channel) { return std::optional(OffsetItem("HOR", channel)); });
    if (body.starts_with("P0") && body.size() == 5)
        return numbered(body, 2, 3, 1, PictureCount,
                        [](int channel) { return std::optional(PictureItem(channel)); });
    return std::nullopt;
}

} // namespace

std::string TitleItem(int channel, int position)
{
    return channelName(channel) + " title " +
           (position == TitleCount - 1 ? "Top" : "Bottom" + std::to_string(position + 1));
}

std::string WhiteLevelItem(int channel, int picture)
{
    return channelName(channel) + " white level picture " + std::to_string(picture + 1);
}

std::string OffsetItem(std::string_view letters, int channel)
{
    return channelName(channel) + (letters == "VER" ? " vertical offset" : " horizontal offset");
}

std::string PictureItem(int channel)
{
    return channelName(channel) + " picture";
}

std::vector<std::string> AllCommandItems()
{
    std::vector<std::string> items;
    for (int channel = 0; channel < ChannelCount; ++channel)
        for (int position = 0; position < TitleCount; ++position)
            items.push_back(TitleItem(channel, position));
    for (int channel = 0; channel < ChannelCount; ++channel)
        for (int picture = 0; picture < PictureCount; ++picture)
            items.push_back(WhiteLevelItem(channel, picture));
    for (const char* letters : {"VER", "HOR"})
        for (int channel = 0; channel < ChannelCount; ++channel)
            items.push_back(OffsetItem(letters, channel));
    for (int channel = 0; channel < ChannelCount; ++channel)
        items.push_back(PictureItem(channel));
    return items;
}

std::optional<CommandItem> NameCommandItem(std::string_view frame, bool rs485)
{
    if (rs485 && !number(frame.substr(0, 2), 0, SlaveCount - 1))
        return std::nullopt;
    if (rs485)
        frame.remove_prefix(2);
    if (!frame.ends_with(LineEnd))
        return std::nullopt;
    frame.remove_suffix(LineEnd.size());
    return command(frame);
}
