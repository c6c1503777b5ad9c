#pragma once

#include <string>

class SerialPort;

// Opening a line the way the window tool and the sender both do. On failure each returns why in
// plain words, with what helps next: the program that holds the port, or the serial devices that
// are present when the path names none. Empty when the port is open.

// The device of COM1..COM6 (comPort 0..5) as the profile's [Ports] maps it.
std::string OpenComPort(SerialPort& port, int comPort);
// A device path given outright.
std::string OpenDevicePort(SerialPort& port, const std::string& path);
