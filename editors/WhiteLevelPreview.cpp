#include "editors/WhiteLevelPreview.h"

#include "editors/WhiteLevelCommand.h"
#include "settings/DeviceSettings.h"

#include <cstdio>

std::vector<PreviewLine> WhiteLevelPreviewLines(int channel)
{
    std::vector<PreviewLine> lines;
    for (int i = 0; i < PictureCount; ++i) {
        const int level = DeviceSettings.whiteLevel[channel][i];
        const char shown = level >= 0 && level < WhiteLevelCount ? char('0' + level) : '?';
        char text[24];
        std::snprintf(text, sizeof text, "Picture%02d = %c", i + 1, shown);
        lines.push_back({i / 8 * 130 + 20, i % 8 * 23 + 6, text});
    }
    return lines;
}
