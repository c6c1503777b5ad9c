#pragma once

#include <array>
#include <cstddef>
#include <functional>

// Gathers received bytes into reply lines, for the window tool's reader and the sender alike.
// A line ends at each LF, wherever the reads split the bytes: a real UART hands a reply over in
// pieces, a byte at a time at worst, and two replies may come in one read. Bytes past a line's 20
// characters are dropped, which keeps an endless line bounded.
class ReplyLineGatherer
{
public:
    static constexpr int LineLength = 20;
    using LineHandler = std::function<void(const char* line)>;

    // replyPos outlives the gatherer: a reader restarted after a partial line goes on writing
    // where the previous one stopped.
    explicit ReplyLineGatherer(int& replyPos);

    // Appends one read, handing each line it completes, zero-terminated, to onLine.
    void append(const char* bytes, size_t count, const LineHandler& onLine);
    // Forgets the open line: what comes next starts a new one.
    void restart();

    // Bytes received since the last complete line or restart: a line that carries bytes but no
    // reply line speaks at another speed or parity, or is another talker's.
    long long bytesWithoutLine() const { return withoutLine; }

private:
    std::array<char, LineLength + 1> replyLine;
    int& replyPos;
    long long withoutLine = 0;
};
