#pragma once

#include <string>

// The application profile: an INI file under the user's config folder. The program's own keys
// live in section [MRV-508_Section]; [Ports] maps COM1..COM6 to device paths. Reads and writes
// take the text by the rules of ProfileText.h. A write changes only its key's lines and replaces
// the file whole, safely; a profile that cannot be read or parsed reads as empty and is never
// written. Each such problem, and a failed write, is reported once on standard error.
std::string ProfileFilePath();
int GetProfileInt(const char* key);
void WriteProfileInt(const char* key, int value);

constexpr int ComPortCount = 6;
// Device path of COM1..COM6 (comPort 0..5), the default where [Ports] names none; empty for a
// port number outside that range.
std::string PortDevicePath(int comPort);
// The device COM1..COM6 stands for where [Ports] names none: /dev/ttyS0../dev/ttyS5.
std::string DefaultPortDevicePath(int comPort);
// The path written for COM1..COM6 in [Ports]; empty where the default applies.
std::string ProfilePortEntry(int comPort);
// Writes COMn's path; an empty path removes the key, so that the default applies again.
void WriteProfilePort(int comPort, const std::string& path);
