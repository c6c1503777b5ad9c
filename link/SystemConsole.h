#pragma once

#include <optional>
#include <string>
#include <vector>

// Terminals that are no line to a device: the kernel's consoles, which carry boot messages and
// often a login prompt, the virtual consoles, /dev/tty and /dev/console. Command lines must never
// go there, nor their line settings change. Read from sysfs alone, so that opening a port finds
// no devices.

// The devices the kernel's console writes to, as /dev paths, from the list the kernel keeps in
// /sys/class/tty/console/active.
std::vector<std::string> SystemConsoles();

// For tests: the list's text ("tty0 ttyS0") in place of the kernel's, until given nothing.
void SetActiveConsoles(std::optional<std::string> names);

// Whether `path`, its links followed, is a virtual console (/dev/tty0 to /dev/tty63), /dev/tty,
// /dev/console or one of `consoles`.
bool IsSystemConsole(const std::string& path, const std::vector<std::string>& consoles);

// `path` with its links followed, also to a node this machine lacks (a container's /dev).
std::string ResolvedDevicePath(const std::string& path);
