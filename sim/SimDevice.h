#pragma once

#include "sim/SimCommand.h"

#include <array>
#include <string>

// What one title generator holds: per channel its titles, white levels, offsets and picture.
class SimDevice
{
public:
    static constexpr int ChannelCount = 2;
    static constexpr int TitleCount = 33; // Bottom 1..32, then Top
    static constexpr int PictureCount = 32;

    struct Channel
    {
        std::array<std::string, TitleCount> titles; // UTF-8
        std::array<int, PictureCount> whiteLevels;
        int vOffset = 32;
        int hOffset = 8;
        int picture = 1;

        Channel() { whiteLevels.fill(8); }
    };

    void apply(const SimCommand& command);
    const std::array<Channel, ChannelCount>& channels() const { return m_channels; }

private:
    std::array<Channel, ChannelCount> m_channels;
};
