#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What one command line sets on the device: the item, named as the sender names its lines, and
// the value the line gives it. The window tool and the sender record their lines under these
// names, so that either can tell what the other left on a device.
struct CommandItem
{
    std::string item;  // "ch.1 title Bottom5", "ch.2 white level picture 7", "ch.1 picture"
    std::string value; // the command's payload: a title's 56 hex digits, "07", "5"
    std::string shown; // the value as an operator reads it: a title's text, a plain number
};

std::string TitleItem(int channel, int position);
std::string WhiteLevelItem(int channel, int picture);
// letters "VER" or "HOR"
std::string OffsetItem(std::string_view letters, int channel);
std::string PictureItem(int channel);

// Every item a device has, in the sender's order.
std::vector<std::string> AllCommandItems();

// The item of a frame as it goes on the wire (on RS-485 after the slave's two digits), or nothing
// when the frame is no command of the device.
std::optional<CommandItem> NameCommandItem(std::string_view frame, bool rs485);
