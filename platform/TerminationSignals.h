#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT into a call on the window thread, so that a request from outside
// to end the program runs the same clean exit as the Exit command. Requests are caught from
// construction on and wait until answerWith() says what to do. One instance at a time.
class TerminationSignals
{
public:
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // From now on, and for a request already waiting, calls `onRequest` from the event loop.
    void answerWith(std::function<void()> onRequest);

    // Readable once a request waits: for a caller without an event loop, which polls it instead
    // of calling answerWith(). -1 when requests are not caught.
    int requestDescriptor() const { return requestPipe[0]; }

private:
    void takeRequest();

    std::function<void()> onRequest;
    int requestPipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
};
