#include "link/ReplyLineGatherer.h"

#include <algorithm>
#include <cstring>

ReplyLineGatherer::ReplyLineGatherer(int& replyPos) : replyPos(replyPos)
{
    replyLine.fill(' ');
    replyLine[LineLength] = '\0';
}

const char* ReplyLineGatherer::append(const char* bytes, size_t count)
{
    if (count == 0)
        return nullptr;
    replyPos = std::clamp(replyPos, 0, LineLength);
    for (size_t i = 0; i < count && replyPos < LineLength; ++i)
        replyLine[replyPos++] = bytes[i];
    if (bytes[count - 1] != '\n')
        return nullptr;
    replyLine[replyPos] = '\0';
    replyPos = 0;
    return replyLine.data();
}
