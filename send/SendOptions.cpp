#include "send/SendOptions.h"

#include "platform/Profile.h"
#include "settings/DeviceSettings.h"

#include <QCommandLineParser>
#include <QRegularExpression>
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

// "0,3,12", "0-7" or "0-3,5": distinct slave numbers 0..31.
std::optional<std::vector<int>> slaveList(const QString& text)
{
    std::vector<int> slaves;
    for (const QString& item : text.split(QLatin1Char(','))) {
        const QStringList range = item.split(QLatin1Char('-'));
        const auto first = number(range[0], 0, SlaveCount - 1);
        const auto last = range.size() == 2 ? number(range[1], 0, SlaveCount - 1) : first;
        if (!first || !last || *first > *last || range.size() > 2)
            return std::nullopt;
        for (int slave = *first; slave <= *last; ++slave) {
            if (std::find(slaves.begin(), slaves.end(), slave) != slaves.end())
                return std::nullopt;
            slaves.push_back(slave);
        }
    }
    return slaves;
}

// "3=lobby.dat": a slave number before the first "=".
std::optional<SlaveFile> slaveFile(const QString& argument, std::string& error)
{
    static const QRegularExpression pair(QStringLiteral("^([0-9]+)=(.*)$"));
    const QRegularExpressionMatch match = pair.match(argument);
    if (!match.hasMatch())
        return std::nullopt;
    const auto slave = number(match.captured(1), 0, SlaveCount - 1);
    if (!slave || match.captured(2).isEmpty())
        error = "SLAVE=FILE needs a slave 0 to 31 and a file: " + argument.toStdString();
    return SlaveFile{slave.value_or(0), match.captured(2).toStdString()};
}

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption port{"port", "Port COM1 to COM6 as mapped in the profile's [Ports].",
                            "COMn"};
    QCommandLineOption device{"device", "Serial device path, instead of --port.", "PATH"};
    QCommandLineOption rs232c{"rs232c", "RS-232C line, whatever the profile's rs_control says."};
    QCommandLineOption rs485{"rs485", "RS-485 line: every line starts with the slave number."};
    QCommandLineOption slaves{"slaves", "RS-485 slaves, e.g. 0,3,12 or 0-3,5.", "LIST"};
    QCommandLineOption only{"only", "Send only these of titles,levels,offsets.", "LIST"};
    QCommandLineOption pictures{"pictures", "Also select pictures 1 to 32 of ch.1,ch.2.", "N,M"};
    QCommandLineOption pace{"pace", "Least time between two lines (default 600).", "MS", "600"};
    QCommandLineOption timeout{"timeout", "Time to wait for a reply (default 3500).", "MS", "3500"};
    QCommandLineOption dryRun{"dry-run", "Print the frames instead of sending them."};
    QCommandLineOption changed{"changed", "Send only the lines whose value differs from what the "
                                          "slave last acknowledged, as the ledger says."};
    QCommandLineOption report{"report", "Write the run's outcome, line by line, as JSON.",
                              "FILE.json"};
    QCommandLineOption retry{"retry",
                             "Send again the lines a report shows not accepted, to its slaves "
                             "on its line; no settings file.",
                             "FILE.json"};
    QCommandLineOption history{"history",
                               "Print what the ledger holds for each slave of the "
                               "line: each item's last acknowledged value. Sends nothing."};
    QCommandLineOption json{"json", "With --history: print it as JSON."};
    QCommandLineOption listPorts{"list-ports",
                                 "List COM1 to COM6 with their devices, then the others found."};
    QCommandLineOption help{QStringList{"h", "help"}, "Show this help."};

    Parser()
    {
        parser.setApplicationDescription(
            "Sends a settings file to MRV-508 title generators, one line at a time.\n"
            "Without --device the line is the profile's com_port and rs_control.\n"
            "Every line a device answers is recorded in the ledger,\n"
            "$XDG_STATE_HOME/mrv508/ledger.sqlite (default ~/.local/state/mrv508).\n"
            "Exit status: 0 every line accepted, 1 a line rejected, not answered, skipped or\n"
            "not sent, 2 bad arguments, settings file or report, a ledger that --changed or\n"
            "--history cannot use, a --report that cannot be written, 3 the port cannot be\n"
            "opened, 130 interrupted.");
        parser.addPositionalArgument(
            "FILE.dat", "The settings file for every slave, or on RS-485 a file for each slave.",
            "FILE.dat | SLAVE=FILE.dat...");
        parser.addOptions({port, device, rs232c, rs485, slaves, only, pictures, pace, timeout,
                           dryRun, changed, report, retry, history, json, listPorts, help});
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
    if (parser.isSet(p.listPorts)) {
        options.listPorts = true;
        return options;
    }
    for (const QString& argument : parser.positionalArguments()) {
        if (auto pair = slaveFile(argument, error)) {
            if (!error.empty())
                return std::nullopt;
            if (std::any_of(options.slaveFiles.begin(), options.slaveFiles.end(),
                            [&pair](const SlaveFile& f) { return f.slave == pair->slave; }))
                return fail(QStringLiteral("slave %1 is named twice").arg(pair->slave));
            options.slaves.push_back(pair->slave);
            options.slaveFiles.push_back(std::move(*pair));
        } else if (options.file.empty()) {
            options.file = argument.toStdString();
        } else {
            return fail("exactly one settings file is needed, or SLAVE=FILE pairs");
        }
    }
    options.history = parser.isSet(p.history);
    options.json = parser.isSet(p.json);
    options.retryFile = parser.value(p.retry).toStdString();
    const bool noFile = options.file.empty() && options.slaveFiles.empty();
    if (options.json && !options.history)
        return fail("--json goes with --history");
    if (options.history && (!noFile || parser.isSet(p.changed) || parser.isSet(p.report) ||
                            parser.isSet(p.retry) || parser.isSet(p.dryRun)))
        return fail("--history sends nothing: give it only the line, the slaves and --json");
    if (parser.isSet(p.retry) &&
        (!noFile || parser.isSet(p.slaves) || parser.isSet(p.only) || parser.isSet(p.pictures)))
        return fail("--retry takes its lines and slaves from the report: leave out the settings "
                    "files, --slaves, --only and --pictures");
    if (parser.isSet(p.retry) && options.retryFile.empty())
        return fail("--retry needs a report");
    if (!options.history && !parser.isSet(p.retry) &&
        options.file.empty() == options.slaveFiles.empty())
        return fail(options.file.empty()
                        ? "exactly one settings file is needed, or SLAVE=FILE pairs"
                        : "give one settings file or SLAVE=FILE pairs, not both");

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

    if (parser.isSet(p.rs232c) && parser.isSet(p.rs485))
        return fail("--rs232c and --rs485 exclude each other");
    if (parser.isSet(p.rs232c) || parser.isSet(p.rs485))
        options.rs485Asked = parser.isSet(p.rs485);
    if (parser.isSet(p.slaves)) {
        if (!options.slaveFiles.empty())
            return fail("SLAVE=FILE pairs name their slaves; leave out --slaves");
        const auto slaves = slaveList(parser.value(p.slaves));
        if (!slaves)
            return fail("--slaves needs distinct numbers 0 to 31, e.g. 0,3,12 or 0-3,5");
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
    options.changed = parser.isSet(p.changed);
    options.reportFile = parser.value(p.report).toStdString();
    if (parser.isSet(p.report) && options.reportFile.empty())
        return fail("--report needs a file");
    if (options.dryRun && !options.reportFile.empty())
        return fail("--dry-run sends nothing to report: leave out --report");
    return options;
}

bool SendOptions::settleLine(bool profileRs485, std::string& error)
{
    rs485 = rs485Asked.value_or(device.empty() && profileRs485);
    if (rs485 && slaves.empty())
        error = "name the slaves with --slaves";
    else if (!rs485 && !slaveFiles.empty())
        error = "SLAVE=FILE pairs need an RS-485 line: add --rs485";
    else if (!rs485 && !slaves.empty())
        error = "--slaves needs --rs485";
    return error.empty();
}

const std::string& SendOptions::fileOf(int slave) const
{
    for (const SlaveFile& pair : slaveFiles)
        if (pair.slave == slave)
            return pair.file;
    return file;
}

std::string SendOptions::usage()
{
    Parser p;
    return p.parser.helpText().toStdString();
}
