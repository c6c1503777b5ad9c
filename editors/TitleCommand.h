#pragma once

#include "settings/DeviceSettings.h"

#include <optional>
#include <string>

// The last title that PadTitle accepted, filled with full-width blanks to 28 bytes.
extern std::string paddedTitle;

// 1 when title[channel][position] is accepted into paddedTitle; 0 when it is longer than 28
// bytes or has an odd length (a half-width character).
int PadTitle(int channel, int position);

// Sends paddedTitle as the title command of that channel and position: 0 when the command was
// handed to the link, 1 when a character has no JIS code and nothing was sent.
int SendTitle(int channel, int position);

// Whether the device can show the title as it stands: within 28 bytes, every character a
// two-byte one with a JIS code, as PadTitle and SendTitle require.
bool TitleShowable(const std::string& title);

// The 65-character "CA" command for a 28-byte CP932 title, or nothing when a character has no
// JIS code.
std::optional<std::string> MakeTitleCommand(int channel, int position, const std::string& padded);
