#pragma once

#include <array>
#include <cstddef>

// Gathers received bytes into one reply line. Only the last byte of each read is tested for LF,
// so a reply split over reads is joined and two replies in one read make one line. Bytes past
// the line's 20 characters are dropped, which keeps an endless line bounded.
class ReplyLineGatherer
{
public:
    static constexpr int LineLength = 20;

    // replyPos outlives the gatherer: a reader restarted after a partial line goes on writing
    // where the previous one stopped.
    explicit ReplyLineGatherer(int& replyPos);

    // Appends one read; returns the completed zero-terminated line, or nullptr while it is open.
    const char* append(const char* bytes, size_t count);

private:
    std::array<char, LineLength + 1> replyLine;
    int& replyPos;
};
