#include "send/LineScheduler.h"

#include <algorithm>

LineScheduler::LineScheduler(size_t devices, std::chrono::milliseconds pace)
    : pace(pace), devices(devices), lastServed(devices - 1)
{}

std::optional<size_t> LineScheduler::next(Time now) const
{
    for (size_t step = 1; step <= devices.size(); ++step) {
        const size_t candidate = (lastServed + step) % devices.size();
        const Device& device = devices[candidate];
        if (!device.finished && due(device) <= now)
            return candidate;
    }
    return std::nullopt;
}

std::optional<LineScheduler::Time> LineScheduler::nextDue() const
{
    std::optional<Time> first;
    for (const Device& device : devices)
        if (!device.finished && (!first || due(device) < *first))
            first = due(device);
    return first;
}

void LineScheduler::sent(size_t device, Time at)
{
    devices[device].lastSent = at;
    lastServed = device;
}

void LineScheduler::hold(Time until)
{
    heldUntil = std::max(heldUntil, until);
}

void LineScheduler::release()
{
    heldUntil = Time{};
}

void LineScheduler::finish(size_t device)
{
    devices[device].finished = true;
}

LineScheduler::Time LineScheduler::due(const Device& device) const
{
    return std::max(device.lastSent ? *device.lastSent + pace : Time{}, heldUntil);
}
