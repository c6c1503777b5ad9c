#include "editors/TitlePreview.h"

#include "settings/DeviceSettings.h"

#include <cstdio>

std::vector<PreviewLine> TitlePreviewLines(int channel)
{
    const std::string* titles = DeviceSettings.title[channel];
    std::vector<PreviewLine> lines{{20, 6, "TOP = " + titles[32]}};
    for (int i = 0; i < 32; ++i) {
        char label[8];
        std::snprintf(label, sizeof label, "B%02d = ", i + 1);
        lines.push_back({i / 16 * 300 + 20, i % 16 * 20 + 26, label + titles[i]});
    }
    return lines;
}
