#include "send/RunSender.h"

#include "link/PortOpening.h"
#include "link/PortSurvey.h"
#include "link/SerialPort.h"
#include "platform/Profile.h"
#include "platform/TerminationSignals.h"
#include "send/LineSender.h"
#include "send/SendOptions.h"
#include "send/SendPlan.h"
#include "send/SendProgress.h"
#include "settings/DeviceSettings.h"
#include "settings/SettingsFileAccess.h"

#include <cstdio>
#include <iostream>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

int dryRun(const std::vector<PlannedLine>& plan, bool rs485, std::ostream& out, std::ostream& err)
{
    int result = SendAllAccepted;
    for (const PlannedLine& line : plan) {
        if (line.frame) {
            out << ReadableFrame(*line.frame) << '\n';
        } else {
            if (rs485)
                err << "slave " << line.slave << ", ";
            err << line.what << ": " << line.problem << " (skipped)\n";
            result = SendNotAccepted;
        }
    }
    return result;
}

// Every slave's lines, each from its own settings file, slave after slave.
std::optional<std::vector<PlannedLine>> planEverySlave(const SendOptions& options,
                                                       std::ostream& err)
{
    std::vector<PlannedLine> plan;
    const std::vector<int> slaves = options.rs485 ? options.slaves : std::vector<int>{0};
    for (const int slave : slaves) {
        const std::string& file = options.fileOf(slave);
        ResetSettings();
        if (const std::string problem = ReadSettingsFileStrictAt(file); !problem.empty()) {
            err << "mrv508-send: " << problem << '\n';
            return std::nullopt;
        }
        SendOptions one = options;
        if (options.rs485)
            one.slaves = {slave};
        for (PlannedLine& line : BuildSendPlan(one))
            plan.push_back(std::move(line));
    }
    return plan;
}

// What was opened, as "COM1 = /dev/ttyUSB0, RS-485, slaves 0,3,12".
std::string lineName(const SendOptions& options, int comPort, const std::string& path)
{
    std::string name = comPort >= 0 ? "COM" + std::to_string(comPort + 1) + " = " + path : path;
    if (!options.rs485)
        return name + ", RS-232C";
    name += ", RS-485, slaves ";
    for (const int slave : options.slaves)
        name += std::to_string(slave) + (slave == options.slaves.back() ? "" : ",");
    return name;
}

// Opens the port as the window tool does; says what it opened in `name`, or returns why not.
std::string openPort(SerialPort& port, const SendOptions& options, std::string& name)
{
    const int comPort = options.device.empty()
                            ? (options.comPort >= 0 ? options.comPort : GetProfileInt("com_port"))
                            : -1;
    if (std::string reason = comPort >= 0 ? OpenComPort(port, comPort)
                                          : OpenDevicePort(port, options.device);
        !reason.empty())
        return reason;
    const std::string path = comPort >= 0 ? PortDevicePath(comPort) : options.device;
    if (!port.setEventMask() || !port.setQueues() || !port.setTimeouts() || !port.setLineState())
        return path + ": the line cannot be set up";
    name = lineName(options, comPort, path);
    return {};
}

// A terminal tall enough for a progress row per slave, which is rewritten in place.
bool rowsFit(size_t rows)
{
    winsize size{};
    return isatty(STDERR_FILENO) && ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 &&
           size.ws_row > rows;
}

void printSummary(const std::vector<SlaveTally>& tallies, bool rs485, std::ostream& out)
{
    out << "  slave   sent  accepted  rejected  not answered  skipped  not sent\n";
    for (const SlaveTally& t : tallies) {
        char row[100];
        std::snprintf(row, sizeof row, "%7s  %5d  %8d  %8d  %12d  %7d  %8d",
                      rs485 ? std::to_string(t.slave).c_str() : "RS-232C", t.sent, t.accepted,
                      t.rejected, t.notAnswered, t.skipped, t.notSent);
        out << row << (t.givenUp ? "  given up" : "") << '\n';
    }
}

} // namespace

int RunSender(const QStringList& arguments, std::ostream& out, std::ostream& err)
{
    std::string error;
    auto options = SendOptions::parse(arguments, error);
    if (!options) {
        err << "mrv508-send: " << error << "\n\n" << SendOptions::usage();
        return SendBadInput;
    }
    if (options->help) {
        out << SendOptions::usage();
        return SendAllAccepted;
    }
    if (options->listPorts) {
        out << PortListing(PortSurvey::Take());
        return SendAllAccepted;
    }
    if (!options->settleLine(GetProfileInt("rs_control") != 0, error)) {
        err << "mrv508-send: " << error << '\n';
        return SendBadInput;
    }
    const auto plan = planEverySlave(*options, err);
    if (!plan)
        return SendBadInput;
    if (options->dryRun)
        return dryRun(*plan, options->rs485, out, err);
    SerialPort port;
    std::string name;
    if (const std::string reason = openPort(port, *options, name); !reason.empty()) {
        err << "mrv508-send: cannot open the port: " << reason << '\n';
        return SendPortFailed;
    }
    out << name << std::endl;
    // Ctrl+C ends the run once the line under way is answered, with the summary of what was done.
    const TerminationSignals interrupts;
    LineSender sender(port, options->rs485, options->paceMs, options->timeoutMs,
                      interrupts.requestDescriptor());
    SendProgress progress(err, &err == &std::cerr &&
                                   rowsFit(options->rs485 ? options->slaves.size() : 1));
    const std::vector<SlaveTally> tallies = sender.send(*plan, progress);
    printSummary(tallies, options->rs485, out);
    if (sender.interrupted())
        return SendInterrupted;
    for (const SlaveTally& tally : tallies)
        if (!tally.allAccepted())
            return SendNotAccepted;
    return SendAllAccepted;
}
