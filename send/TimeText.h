#pragma once

#include <chrono>
#include <string>

// A moment as the operator reads it, in local time: "2026-12-08 14:02:11".
std::string LocalTimeText(std::chrono::system_clock::time_point time);
// For JSON: ISO 8601 with milliseconds and the offset from UTC, "2026-12-08T14:02:11.250+09:00".
std::string IsoTimeText(std::chrono::system_clock::time_point time);
