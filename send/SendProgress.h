#pragma once

#include <iosfwd>
#include <string>
#include <vector>

struct SlaveTally;

// What the sender tells the operator while it runs. On a terminal each device has one row,
// rewritten in place, and messages scroll above the rows; otherwise every message is a plain
// line and each device gets one line when it is through.
class SendProgress
{
public:
    SendProgress(std::ostream& log, bool terminal);

    void begin(std::vector<std::string> names, std::vector<int> totals);
    void update(size_t device, const SlaveTally& tally);
    void message(const std::string& text);

private:
    std::string row(size_t device, const SlaveTally& tally) const;

    std::ostream& log;
    bool terminal;
    std::vector<std::string> names;
    std::vector<int> totals;
    std::vector<std::string> rows;
};
