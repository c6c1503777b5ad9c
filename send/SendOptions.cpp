#include "send/SendOptions.h"

#include "platform/Profile.h"
#include "settings/DeviceSettings.h"

#include <QCommandLineParser>
#include <algorithm>

namespace {

constexpr int MaxMs = 3'600'000;

std::optional<int> number(const QString& text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

// "0,3,12" or "0-7": distinct slave numbers 0..31.
std::optional<std::vector<int>> slaveList(const QString& text)
{
    std::vector<int> slaves;
    const QStringList range = text.split(QLatin1Char('-'));
    if (range.size() == 2) {
        const auto first = number(range[0], 0, SlaveCount - 1);
        const auto last = number(range[1], 0, SlaveCount - 1);
        if (!first || !last || *first > *last)
            return std::nullopt;
        for (int slave = *first; slave <= *last; ++slave)
            slaves.push_back(slave);
        return slaves;
    }
    for (const QString& item : text.split(QLatin1Char(','))) {
        const auto slave = number(item, 0, SlaveCount - 1);
        if (!slave || std::find(slaves.begin(), slaves.end(), *slave) != slaves.end())
            return std::nullopt;
        slaves.push_back(*slave);
    }
    return slaves;
}

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption port{"port", "Port COM1 to COM6 as mapped in the profile's [Ports].",
                            "COMn"};
    QCommandLineOption device{"device", "Serial device path, instead of --port.", "PATH"};
    QCommandLineOption rs485{"rs485", "RS-485 line: every line starts with the slave number."};
    QCommandLineOption slaves{"slaves", "RS-485 slaves, e.g. 0,3,12 or 0-7 (default 0).", "LIST"};
    QCommandLineOption only{"only", "Send only these of titles,levels,offsets.", "LIST"};
    QCommandLineOption pictures{"pictures", "Also select pictures 1 to 32 of ch.1,ch.2.", "N,M"};
    QCommandLineOption pace{"pace", "Least time between two lines (default 600).", "MS", "600"};
    QCommandLineOption timeout{"timeout", "Time to wait for a reply (default 2000).", "MS", "2000"};
    QCommandLineOption dryRun{"dry-run", "Print the frames instead of sending them."};
    QCommandLineOption help{QStringList{"h", "help"}, "Show this help."};

    Parser()
    {
        parser.setApplicationDescription(
            "Sends a settings file to MRV-508 title generators, one line at a time.\n"
            "Exit status: 0 every line accepted, 1 a line rejected, not answered or skipped,\n"
            "2 bad arguments or file, 3 the port cannot be opened.");
        parser.addPositionalArgument("FILE.dat", "The settings file to send.");
        parser.addOptions(
            {port, device, rs485, slaves, only, pictures, pace, timeout, dryRun, help});
    }
};

} // namespace

std::optional<SendOptions> SendOptions::parse(const QStringList& arguments, std::string& error)
{
    Parser p;
    QCommandLineParser& parser = p.parser;
    SendOptions options;
    auto fail = [&error](const QString& text) {
        error = text.toStdString();
        return std::nullopt;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(p.help)) {
        options.help = true;
        return options;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        return fail("exactly one settings file is needed");
    options.file = files[0].toStdString();

    if (parser.isSet(p.port) && parser.isSet(p.device))
        return fail("--port and --device exclude each other");
    if (parser.isSet(p.port)) {
        const QString port = parser.value(p.port);
        const auto number = port.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)
                                ? ::number(port.mid(3), 1, ComPortCount)
                                : std::nullopt;
        if (!number)
            return fail("--port needs COM1 to COM6");
        options.comPort = *number - 1;
    }
    if (parser.isSet(p.device)) {
        options.device = parser.value(p.device).toStdString();
        if (options.device.empty())
            return fail("--device needs a path");
    }

    if (parser.isSet(p.slaves) && !parser.isSet(p.rs485))
        return fail("--slaves needs --rs485");
    if (parser.isSet(p.rs485)) {
        const auto slaves = slaveList(parser.isSet(p.slaves) ? parser.value(p.slaves) : "0");
        if (!slaves)
            return fail("--slaves needs distinct numbers 0 to 31, e.g. 0,3,12 or 0-7");
        options.slaves = *slaves;
    }

    if (parser.isSet(p.only)) {
        options.titles = options.levels = options.offsets = false;
        for (const QString& part : parser.value(p.only).split(QLatin1Char(','))) {
            if (part == QLatin1String("titles"))
                options.titles = true;
            else if (part == QLatin1String("levels"))
                options.levels = true;
            else if (part == QLatin1String("offsets"))
                options.offsets = true;
            else
                return fail("--only takes titles, levels and offsets, separated by commas");
        }
    }
    if (parser.isSet(p.pictures)) {
        const QStringList parts = parser.value(p.pictures).split(QLatin1Char(','));
        if (parts.size() != ChannelCount)
            return fail("--pictures needs one picture 1 to 32 for each channel, e.g. 5,12");
        for (int channel = 0; channel < ChannelCount; ++channel) {
            const auto picture = number(parts[channel], 1, PictureCount);
            if (!picture)
                return fail("--pictures needs one picture 1 to 32 for each channel, e.g. 5,12");
            options.pictures[channel] = *picture - 1;
        }
    }

    const auto pace = number(parser.value(p.pace), 0, MaxMs);
    const auto timeout = number(parser.value(p.timeout), 1, MaxMs);
    if (!pace || !timeout)
        return fail("--pace needs 0 to 3600000 ms, --timeout 1 to 3600000 ms");
    options.paceMs = *pace;
    options.timeoutMs = *timeout;
    options.dryRun = parser.isSet(p.dryRun);
    return options;
}

std::string SendOptions::usage()
{
    Parser p;
    return p.parser.helpText().toStdString();
}
