#pragma once

#include "ledger/Ledger.h"
#include "link/BoxRelay.h"
#include "link/SerialPort.h"
#include "link/WindowThreadCalls.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
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
    // The name under which the ledger knows the port's line.
    std::string ledgerName() const;

private:
    // The frame whose reply is awaited, as the ledger records it.
    struct Awaited
    {
        std::string line; // the line's stable name
        std::optional<int> slave;
        std::string frame;
    };

    void ReplyReaderProc();
    void InterpretReply(const char* line);
    void handOverHungUpPort(); // reader thread
    // Returns the frame that was awaited, and awaits `next`.
    std::optional<Awaited> awaitReply(std::optional<Awaited> next);
    // The frame's outcome, now that it is known.
    void record(const Awaited& sent, LedgerResult result, const std::string& reply);

    SerialPort port;
    int wakeFd = -1;
    std::thread readerThread;
    std::atomic<int> readerRunning = 0;
    std::atomic<int> portHungUp = 0;             // the reader has handed the port over for closing
    std::atomic<long long> bytesWithoutLine = 0; // received since the last reply line
    std::string linePath;                        // window thread
    std::string lineName;                        // window thread
    std::unique_ptr<Ledger> ledger;              // from the first command until the link stops
    std::mutex awaitedLock;
    std::optional<Awaited> awaited;
    WindowThreadCalls windowThread;
    BoxRelay readerBoxes{windowThread};
};

extern CommLink SerialLink;
