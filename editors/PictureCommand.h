#pragma once

#include <string>

// "P0" + channel digit + picture number 01..32 + CR LF, for a channel 0/1 and a picture index
// 0..31.
std::string MakePictureCommand(int channel, int pictureIndex);
