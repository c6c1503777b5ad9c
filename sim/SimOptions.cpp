#include "sim/SimOptions.h"

#include <algorithm>
#include <charconv>

namespace {

std::optional<int> number(std::string_view text, int low, int high)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<std::vector<int>> slaveList(std::string_view text)
{
    std::vector<int> slaves;
    while (true) {
        const auto comma = text.find(',');
        const auto slave = number(text.substr(0, comma), 0, 31);
        if (!slave || std::find(slaves.begin(), slaves.end(), *slave) != slaves.end())
            return std::nullopt;
        slaves.push_back(*slave);
        if (comma == std::string_view::npos)
            return slaves;
        text.remove_prefix(comma + 1);
    }
}

bool isCountOption(std::string_view name)
{
    return name == "--delay" || name == "--split" || name == "--error-on" ||
           name == "--hangup-after";
}

} // namespace

std::optional<SimOptions> SimOptions::parse(const std::vector<std::string_view>& args,
                                            std::string& error)
{
    constexpr int MaxCount = 1'000'000'000;
    SimOptions options;
    bool rs485 = false;
    std::optional<std::vector<int>> slaves;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view name = args[i];
        if (name == "--help") {
            options.help = true;
            continue;
        }
        if (name == "--rs485") {
            rs485 = true;
            continue;
        }
        if (name == "--silent") {
            options.faults.silent = true;
            continue;
        }
        if (i + 1 == args.size()) {
            error = "unknown option or missing value: " + std::string(name);
            return std::nullopt;
        }
        const std::string_view value = args[++i];
        if (name == "--link") {
            options.link = value;
        } else if (name == "--state") {
            options.state = value;
        } else if (name == "--log") {
            options.log = value;
        } else if (name == "--reply" && !value.empty()) {
            options.faults.reply = value;
        } else if (name == "--slaves") {
            slaves = slaveList(value);
            if (!slaves) {
                error = "--slaves needs distinct numbers 0 to 31 separated by commas";
                return std::nullopt;
            }
        } else if (isCountOption(name)) {
            const int low = name == "--delay" || name == "--split" ? 0 : 1;
            const auto count = number(value, low, MaxCount);
            if (!count) {
                error = std::string(name) + " needs a number from " + std::to_string(low);
                return std::nullopt;
            }
            if (name == "--delay")
                options.delayMs = *count;
            else if (name == "--split")
                options.splitMs = *count;
            else if (name == "--error-on")
                options.faults.errorOn = *count;
            else
                options.faults.hangUpAfter = *count;
        } else {
            error = "unknown option or bad value: " + std::string(name) + " " + std::string(value);
            return std::nullopt;
        }
    }
    if (slaves && !rs485) {
        error = "--slaves needs --rs485";
        return std::nullopt;
    }
    if (rs485)
        options.slaves = slaves.value_or(std::vector<int>{0});
    return options;
}

std::string SimOptions::usage()
{
    return "Usage: mrv508-sim [options]\n"
           "Simulates MRV-508 title generators on a pseudo-terminal and prints \"PTY <path>\".\n"
           "\n"
           "  --link PATH         make PATH a symlink to the pseudo-terminal\n"
           "  --rs485             RS-485 line: frames start with a two-digit slave number\n"
           "  --slaves LIST       slave numbers on the RS-485 line, e.g. 0,3,12 (default 0)\n"
           "  --state FILE        write the device state as JSON after every frame\n"
           "  --log FILE          log every frame to FILE instead of standard error\n"
           "  --silent            never answer\n"
           "  --delay MS          answer after MS milliseconds\n"
           "  --split MS          send the first byte of each answer, the rest MS ms later\n"
           "  --reply TEXT        answer TEXT instead of GO to well-formed commands\n"
           "  --error-on N        answer the Nth frame with E3\n"
           "  --hangup-after N    close the line and exit after answering the Nth frame\n"
           "  --help              show this help\n";
}
