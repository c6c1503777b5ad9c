#pragma once

#include <optional>
#include <string>
#include <string_view>

// One command line the device understood, with its fields already checked against their ranges.
struct SimCommand
{
    enum class Kind { Title, WhiteLevel, VerticalOffset, HorizontalOffset, Picture };

    Kind kind = Kind::Picture;
    int channel = 0;   // 0 = ch.1, 1 = ch.2
    int position = 0;  // Title: 0..31 Bottom 1..32, 32 Top; WhiteLevel: picture index 0..31
    int value = 0;     // white level, offset or picture number 1..32
    std::string title; // UTF-8, without the trailing full-width spaces that pad every title
};

// Parses one command line including its CR LF. On failure returns nothing and says why in error.
std::optional<SimCommand> parseSimCommand(std::string_view line, std::string& error);

// A short human-readable account of the command for the log, e.g. "P ch2 picture 12".
std::string describeSimCommand(const SimCommand& command);
