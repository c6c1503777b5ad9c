#pragma once

#include <string>

// One line of an editor's preview: its text (CP932 bytes) with its top-left corner at (x, y),
// in pixels of the preview area.
struct PreviewLine
{
    int x;
    int y;
    std::string text;

    bool operator==(const PreviewLine&) const = default;
};

// An editor's caption names the channel its preview shows.
inline std::string PreviewCaption(const std::string& prefix, int channel)
{
    return prefix + (channel == 0 ? " チャンネル１" : " チャンネル２");
}
