#pragma once

#include "settings/DeviceSettings.h"

#include <optional>
#include <string>

// "WL0" + channel digit + picture number 01..32 + level digit + CR LF, for a channel 0/1, a
// picture index 0..31 and a level 0..9. A value outside these (a damaged settings file) has no
// line: nothing rather than a line the device would misread.
std::optional<std::string> MakeWhiteLevelCommand(int channel, int pictureIndex, int level);
