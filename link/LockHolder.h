#pragma once

#include <string>
#include <string_view>

// The program holding the flock on `path`, as "name (pid N)" with the name printable, read from
// the kernel's lock table; empty when it cannot be told (no lock, or a holder in another pid
// namespace).
std::string LockHolder(const std::string& path);

// A program's name as it may be printed on a terminal: control characters (C0, DEL, C1) and bytes
// that are not UTF-8 as \xNN, a backslash as \\. Any user can name a process as they like.
std::string PrintableName(std::string_view name);
