#pragma once

#include <string>

// The program holding the flock on `path`, as "name (pid N)", read from the kernel's lock
// table; empty when it cannot be told (no lock, or a holder in another pid namespace).
std::string LockHolder(const std::string& path);
