#include "sim/SimOptions.h"

#include <algorithm>
#include <charconv>
#include <getopt.h>

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

// Values above any character, so that none is taken for getopt's '?' or ':'.
enum Option {
    Link = 256,
    State,
    Log,
    Rs485,
    Slaves,
    Silent,
    Delay,
    Baud,
    Split,
    ByteGap,
    Reply,
    NoLineEnd,
    ErrorOn,
    HangUpAfter,
    View,
    Help
};

constexpr option Options[] = {
    {"link", required_argument, nullptr, Link},
    {"state", required_argument, nullptr, State},
    {"log", required_argument, nullptr, Log},
    {"rs485", no_argument, nullptr, Rs485},
    {"slaves", required_argument, nullptr, Slaves},
    {"silent", no_argument, nullptr, Silent},
    {"delay", required_argument, nullptr, Delay},
    {"baud", required_argument, nullptr, Baud},
    {"split", required_argument, nullptr, Split},
    {"byte-gap", required_argument, nullptr, ByteGap},
    {"reply", required_argument, nullptr, Reply},
    {"no-line-end", no_argument, nullptr, NoLineEnd},
    {"error-on", required_argument, nullptr, ErrorOn},
    {"hangup-after", required_argument, nullptr, HangUpAfter},
    {"view", no_argument, nullptr, View},
    {"help", no_argument, nullptr, Help},
    {nullptr, 0, nullptr, 0},
};

// The option as typed, either alone or with its value after "=".
bool wholeName(std::string_view typed, const std::string& name)
{
    return typed.substr(0, typed.find('=')) == "--" + name;
}

// The value of --delay, --baud, --split, --error-on or --hangup-after.
std::optional<int> count(const std::string& name, std::string_view value, int low,
                         std::string& error)
{
    constexpr int MaxCount = 1'000'000'000;
    const auto parsed = number(value, low, MaxCount);
    if (!parsed)
        error = "--" + name + " needs a number from " + std::to_string(low);
    return parsed;
}

} // namespace

std::optional<SimOptions> SimOptions::parse(const std::vector<std::string_view>& args,
                                            std::string& error)
{
    // getopt_long wants a writable argv with a program name in front.
    std::vector<std::string> texts{"mrv508-sim"};
    texts.insert(texts.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(texts.size());

    SimOptions options;
    bool rs485 = false;
    std::optional<std::vector<int>> slaves;
    // "+" stops at the first argument that is no option, ":" reports a missing value apart;
    // opterr = 0 keeps getopt from printing messages of its own.
    ::opterr = 0;
    ::optind = 0;
    while (true) {
        const int at = ::optind > 0 ? ::optind : 1;
        int index = -1;
        const int id = ::getopt_long(argc, argv.data(), "+:", Options, &index);
        if (id == -1)
            break;
        // getopt_long also takes unique abbreviations; the simulator takes whole names only.
        const std::string name = id == '?' || id == ':' ? "" : Options[index].name;
        if (name.empty() || !wholeName(texts[at], name)) {
            error = "unknown option or missing value: " + texts[at];
            return std::nullopt;
        }
        const std::string_view value = ::optarg ? ::optarg : "";
        switch (id) {
        case Link:
            options.link = value;
            break;
        case State:
            options.state = value;
            break;
        case Log:
            options.log = value;
            break;
        case Rs485:
            rs485 = true;
            break;
        case Slaves:
            slaves = slaveList(value);
            if (!slaves)
                error = "--slaves needs distinct numbers 0 to 31 separated by commas";
            break;
        case Silent:
            options.faults.silent = true;
            break;
        case Delay:
            options.delayMs = count(name, value, 0, error).value_or(0);
            break;
        case Baud:
            options.baud = count(name, value, 1, error).value_or(0);
            break;
        case Split:
            options.splitMs = count(name, value, 0, error);
            break;
        case ByteGap:
            options.byteGapMs = count(name, value, 0, error);
            break;
        case NoLineEnd:
            options.faults.noLineEnd = true;
            break;
        case Reply:
            if (value.empty())
                error = "unknown option or bad value: --reply ";
            options.faults.reply = value;
            break;
        case ErrorOn:
            options.faults.errorOn = count(name, value, 1, error).value_or(0);
            break;
        case HangUpAfter:
            options.faults.hangUpAfter = count(name, value, 1, error).value_or(0);
            break;
        case View:
            options.view = true;
            break;
        case Help:
            options.help = true;
            break;
        }
        if (!error.empty())
            return std::nullopt;
    }
    if (::optind < argc) {
        error = "unexpected argument: " + texts[::optind];
        return std::nullopt;
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
           "  --log FILE          log every frame, stamped with its arrival in ms since start,\n"
           "                      to FILE instead of standard error\n"
           "  --silent            never answer\n"
           "  --delay MS          answer after MS milliseconds\n"
           "  --baud N            take frames and send replies at the pace of a line at N baud\n"
           "                      (8E1: 11 bits a byte, one direction at a time)\n"
           "  --split MS          send the first byte of each answer, the rest MS ms later\n"
           "  --byte-gap MS       send each answer a byte at a time, MS ms apart\n"
           "  --reply TEXT        answer TEXT instead of GO to well-formed commands\n"
           "  --no-line-end       leave CR LF off every answer, as a device at another speed\n"
           "                      sends bytes that never make a line\n"
           "  --error-on N        answer the Nth frame with E3\n"
           "  --hangup-after N    close the line and exit after answering the Nth frame\n"
           "  --view              show in a window what the devices hold and the frames\n"
           "  --help              show this help\n";
}
