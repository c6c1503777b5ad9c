#pragma once

#include "settings/DeviceSettings.h"

#include <optional>
#include <string>
#include <string_view>

// The letters ("VER" or "HOR") + "0" + channel digit + the offset in two digits + CR LF, for a
// channel 0/1 and an offset within the command's range. Anything else (a damaged settings file)
// has no line: nothing rather than a line the device would misread.
std::optional<std::string> MakeOffsetCommand(std::string_view letters, int channel, int offset);
