#include "send/SendProgress.h"

#include "send/SlaveTally.h"

#include <ostream>

SendProgress::SendProgress(std::ostream& log, bool terminal) : log(log), terminal(terminal) {}

void SendProgress::begin(std::vector<std::string> names, std::vector<int> totals)
{
    this->names = std::move(names);
    this->totals = std::move(totals);
    rows.clear();
    for (size_t device = 0; device < this->names.size(); ++device) {
        rows.push_back(row(device, SlaveTally{}));
        if (terminal)
            log << rows.back() << '\n';
    }
    log << std::flush;
}

void SendProgress::update(size_t device, const SlaveTally& tally)
{
    const std::string text = row(device, tally);
    if (text == rows[device])
        return;
    rows[device] = text;
    if (terminal) {
        // Up to the device's row, rewrite it, and back down below the last row.
        const size_t up = rows.size() - device;
        log << "\x1b[" << up << "A\r\x1b[K" << text << "\x1b[" << up << "B\r" << std::flush;
    } else if (tally.done() == totals[device]) {
        log << text << '\n' << std::flush;
    }
}

void SendProgress::message(const std::string& text)
{
    if (!terminal) {
        log << text << '\n' << std::flush;
        return;
    }
    if (!rows.empty())
        log << "\x1b[" << rows.size() << "A\r\x1b[J";
    log << text << '\n';
    for (const std::string& row : rows)
        log << row << '\n';
    log << std::flush;
}

std::string SendProgress::row(size_t device, const SlaveTally& tally) const
{
    return names[device] + ": " + std::to_string(tally.done()) + '/' +
           std::to_string(totals[device]) + " lines, " + std::to_string(tally.accepted) +
           " accepted, " + std::to_string(tally.problems()) + " problems" +
           (tally.givenUp ? ", given up" : "");
}
