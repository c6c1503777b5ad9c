#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <sys/types.h>
#include <termios.h>

// Why an open failed, for callers that add advice of their own to the reason.
enum class OpenFailure { None, NoSuchDevice, PermissionDenied, HeldByAnother, NotSerial, Other };

// One serial device on a termios descriptor. Each set-up step can fail on its own, and all of
// them fail on a port that is not open, as the link's error reporting expects.
class SerialPort
{
public:
    SerialPort() = default;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;
    ~SerialPort();

    // Opens for exclusive use; on failure returns a reason in plain words, else an empty string.
    // The line settings found at open are put back on close, as serial tools do, so that a
    // terminal opened by mistake is left as it was.
    std::string open(const std::string& path);
    OpenFailure lastOpenFailure() const { return openFailure; }
    bool setEventMask();
    bool setQueues();
    bool setTimeouts();
    bool setLineState();
    void close();

    bool isOpen() const { return fd >= 0; }
    int descriptor() const { return fd; }

    // Writes the whole frame, waiting at most timeoutMs for the line to take it; a frame that
    // cannot go out whole is discarded.
    bool write(const char* data, size_t size, int timeoutMs);
    ssize_t read(char* buffer, size_t size);
    void purgeInput();

    // The modem lines as TIOCM_ bits, where the port reports them; a pseudo-terminal has none.
    std::optional<int> modemLines() const;

private:
    bool waitWritable(std::chrono::steady_clock::time_point deadline) const;

    int fd = -1;
    std::optional<termios> earlierState;
    OpenFailure openFailure = OpenFailure::None;
};
