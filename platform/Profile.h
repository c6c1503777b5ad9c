#pragma once

#include <string>

// The application profile: an INI file under the user's config folder. The program's own keys
// live in section [MRV-508_Section]; [Ports] maps COM1..COM6 to device paths and is only read.
std::string ProfileFilePath();
int GetProfileInt(const char* key);
void WriteProfileInt(const char* key, int value);

constexpr int ComPortCount = 6;
// Device path of COM1..COM6 (comPort 0..5); empty for a port number outside that range.
std::string PortDevicePath(int comPort);
