#pragma once

#include <optional>
#include <string>

// The bytes that go on the wire for one command line: on an RS-485 line (any nonzero rsControl)
// the slave number comes first as two digits. A slave number outside 0..31 has no prefix, so
// there is no frame.
std::optional<std::string> MakeCommandFrame(const std::string& command, int rsControl, int slaveNo);
