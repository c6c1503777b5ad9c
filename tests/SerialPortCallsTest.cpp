// The port's system calls on its own descriptor, recorded, and some of them answered from a
// script: a pseudo-terminal neither takes part of a frame nor holds output back at close, as a
// serial line stopped by flow control does. The functions below take the place of the C
// library's in this test program and pass every other descriptor's calls on.
#include "link/SerialPort.h"

#include <cerrno>
#include <deque>
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

struct Answer
{
    int result;
    int error = 0;
    short revents = 0; // of a poll
};

int watched = -1;
std::vector<std::string> calls;
std::deque<Answer> writeAnswers;
std::deque<Answer> pollAnswers;

template <typename Function> Function next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// The next scripted answer, if any, with its errno and poll events set.
bool scripted(std::deque<Answer>& answers, int& result, short* revents = nullptr)
{
    if (answers.empty())
        return false;
    result = answers.front().result;
    errno = answers.front().error;
    if (revents)
        *revents = answers.front().revents;
    answers.pop_front();
    return true;
}

} // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size)
{
    static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    if (fd != watched)
        return real(fd, data, size);
    calls.push_back("write " + std::to_string(size));
    int result = 0;
    return scripted(writeAnswers, result) ? result : real(fd, data, size);
}

extern "C" int poll(pollfd* fds, nfds_t count, int timeoutMs)
{
    static const auto real = next<int (*)(pollfd*, nfds_t, int)>("poll");
    if (count != 1 || fds[0].fd != watched)
        return real(fds, count, timeoutMs);
    calls.push_back("poll");
    int result = 0;
    return scripted(pollAnswers, result, &fds[0].revents) ? result : real(fds, count, timeoutMs);
}

extern "C" int tcflush(int fd, int queue) noexcept
{
    static const auto real = next<int (*)(int, int)>("tcflush");
    if (fd == watched)
        calls.push_back(queue == TCOFLUSH ? "discard output" : "discard " + std::to_string(queue));
    return real(fd, queue);
}

extern "C" int close(int fd)
{
    static const auto real = next<int (*)(int)>("close");
    if (fd == watched) {
        calls.push_back("close");
        watched = -1;
    }
    return real(fd);
}

namespace {

struct WriteCase
{
    const char* name;
    std::deque<Answer> writes;
    std::deque<Answer> polls;
    bool sent;
    std::vector<std::string> calls;
};

void PrintTo(const WriteCase& c, std::ostream* out)
{
    *out << c.name;
}

// A port open on a pseudo-terminal whose calls are recorded from the start of each test.
class SerialPortCallsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        ASSERT_EQ(port.open(ptsname(master)), "");
        ASSERT_TRUE(port.setLineState());
        calls.clear();
        watched = port.descriptor();
    }
    void TearDown() override
    {
        watched = -1;
        writeAnswers.clear();
        pollAnswers.clear();
        port.close();
        ::close(master);
    }

    int master = -1;
    SerialPort port;
};

class SerialPortWriteTest : public SerialPortCallsTest,
                            public testing::WithParamInterface<WriteCase>
{
};

} // namespace

TEST_F(SerialPortCallsTest, ClosingDiscardsHeldBackOutputFirst)
{
    port.close();
    EXPECT_EQ(calls, (std::vector<std::string>{"discard output", "close"}));
}

TEST_P(SerialPortWriteTest, AFrameGoesOutWholeOrIsDiscarded)
{
    const WriteCase& c = GetParam();
    writeAnswers = c.writes;
    pollAnswers = c.polls;
    EXPECT_EQ(port.write("P0101\r\n", 7, 1000), c.sent);
    EXPECT_EQ(calls, c.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SerialPortWriteTest,
    testing::Values(
        WriteCase{"TakenAtOnce", {}, {}, true, {"write 7"}},
        WriteCase{"InterruptedWriteIsRetried", {{-1, EINTR}}, {}, true, {"write 7", "write 7"}},
        WriteCase{"InterruptedWaitIsRetried",
                  {{3}, {-1, EAGAIN}},
                  {{-1, EINTR}},
                  true,
                  {"write 7", "write 4", "poll", "poll", "write 4"}},
        WriteCase{"PartOfAFrameThenTimeOut",
                  {{3}, {-1, EAGAIN}},
                  {{0}},
                  false,
                  {"write 7", "write 4", "poll", "discard output"}},
        WriteCase{"LineHungUpWhileWaiting",
                  {{-1, EAGAIN}},
                  {{1, 0, POLLHUP}},
                  false,
                  {"write 7", "poll", "discard output"}},
        WriteCase{"WriteError", {{-1, EIO}}, {}, false, {"write 7", "discard output"}}),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });
