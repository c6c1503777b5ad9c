#pragma once

#include "link/BoxRelay.h"
#include "link/SerialPort.h"
#include "link/WindowThreadCalls.h"

#include <atomic>
#include <string>
#include <thread>

// The one serial link of the process: the port, the reader thread and its wake-up descriptor.
class CommLink
{
public:
    CommLink() = default;
    CommLink(const CommLink&) = delete;
    CommLink& operator=(const CommLink&) = delete;
    ~CommLink();

    void StartLink();
    void OpenPort();
    void StartReader();
    void StopLink();
    void ShowLinkError(const std::string& text);

    void SendCommand(const std::string& commandLine);

    bool portOpen() const { return port.isOpen(); }
    // Why the line may be silent, one reason a line, as far as the line tells; empty when it does
    // not.
    std::string silenceReason() const;
    bool readerStarted() const { return readerThread.joinable(); }

private:
    void ReplyReaderProc();
    void InterpretReply(const char* line);
    void handOverHungUpPort(); // reader thread

    SerialPort port;
    int wakeFd = -1;
    std::thread readerThread;
    std::atomic<int> readerRunning = 0;
    std::atomic<int> portHungUp = 0; // the reader has handed the port over for closing
    std::atomic<long long> bytesWithoutLine = 0; // received since the last reply line
    WindowThreadCalls windowThread;
    BoxRelay readerBoxes{windowThread};
};

extern CommLink SerialLink;
