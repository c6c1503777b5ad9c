#pragma once

#include "sim/SimLine.h"

#include <string>
#include <string_view>

// The state of every device on the line as one JSON document, for tests to read:
// {"mode":"rs232c"|"rs485","frames":N,"devices":[{"slave":null|n,"channels":[{"titles":[33],
// "whiteLevels":[32],"vOffset":n,"hOffset":n,"picture":n},{...}]}]}
std::string simStateJson(const SimLine& line);

// Replaces the file at path by text, so that a reader never sees a half-written file.
bool writeFileAtomically(const std::string& path, std::string_view text);
