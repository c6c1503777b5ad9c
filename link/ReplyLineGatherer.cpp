#include "link/ReplyLineGatherer.h"

#include <algorithm>

ReplyLineGatherer::ReplyLineGatherer(int& replyPos) : replyPos(replyPos)
{
    replyLine.fill(' ');
    replyLine[LineLength] = '\0';
}

void ReplyLineGatherer::append(const char* bytes, size_t count, const LineHandler& onLine)
{
    replyPos = std::clamp(replyPos, 0, LineLength);
    for (size_t i = 0; i < count; ++i) {
        ++withoutLine;
        if (replyPos < LineLength)
            replyLine[replyPos++] = bytes[i];
        if (bytes[i] != '\n')
            continue;
        replyLine[replyPos] = '\0';
        replyPos = 0;
        withoutLine = 0;
        onLine(replyLine.data());
    }
}

void ReplyLineGatherer::restart()
{
    replyPos = 0;
    withoutLine = 0;
}
