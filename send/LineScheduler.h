#pragma once

#include <chrono>
#include <optional>
#include <vector>

// Decides which device on a half-duplex line gets the next frame. A device is due once its pace
// since its own last line has run out and the line is not held; among the due devices the one after
// the device served last goes first (round robin), so that no device waits behind a busy one.
class LineScheduler
{
public:
    using Time = std::chrono::steady_clock::time_point;

    LineScheduler(size_t devices, std::chrono::milliseconds pace);

    // The device to send to at `now`, or nothing while none is due.
    std::optional<size_t> next(Time now) const;
    // When the first device becomes due; nothing once every device is finished.
    std::optional<Time> nextDue() const;

    void sent(size_t device, Time at);
    // Keeps every device from being due before `until`, on top of its pace.
    void hold(Time until);
    void release();
    // The device gets nothing more: its lines are done or it was given up.
    void finish(size_t device);

private:
    struct Device
    {
        std::optional<Time> lastSent;
        bool finished = false;
    };

    Time due(const Device& device) const;

    std::chrono::milliseconds pace;
    std::vector<Device> devices;
    size_t lastServed;
    Time heldUntil{};
};
