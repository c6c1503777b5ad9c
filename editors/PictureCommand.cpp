#include "editors/PictureCommand.h"

std::string MakePictureCommand(int channel, int pictureIndex)
{
    std::string line = "P0101\r\n";
    if (channel != 0)
        line[2] = '2';
    const int number = pictureIndex + 1;
    line[3] = char('0' + number / 10);
    line[4] = char('0' + number % 10);
    return line;
}
