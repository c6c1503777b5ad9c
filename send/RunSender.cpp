#include "send/RunSender.h"

#include "link/LockHolder.h"
#include "link/SerialPort.h"
#include "platform/Profile.h"
#include "platform/TerminationSignals.h"
#include "send/LineSender.h"
#include "send/SendOptions.h"
#include "send/SendPlan.h"
#include "settings/DeviceSettings.h"
#include "settings/SettingsFileAccess.h"

#include <cstdio>
#include <iostream>
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

// Opens the port as the window tool does; returns why it failed, or an empty string.
std::string openPort(SerialPort& port, const SendOptions& options)
{
    std::string path = options.device;
    if (path.empty()) {
        const int comPort = options.comPort >= 0 ? options.comPort : GetProfileInt("com_port");
        path = PortDevicePath(comPort);
        if (path.empty())
            return "the profile's com_port " + std::to_string(comPort) +
                   " names none of COM1 to COM6 (0 to 5)";
    }
    if (std::string reason = port.open(path); !reason.empty()) {
        const std::string holder = LockHolder(path);
        return holder.empty() || reason.find("held by") == std::string::npos
                   ? reason
                   : reason + " It is held by " + holder + ".";
    }
    if (!port.setEventMask() || !port.setQueues() || !port.setTimeouts() || !port.setLineState())
        return path + ": the line cannot be set up";
    return {};
}

void printSummary(const std::vector<SlaveTally>& tallies, bool rs485, std::ostream& out)
{
    out << "  slave   sent  accepted  rejected  not answered  skipped\n";
    for (const SlaveTally& t : tallies) {
        char row[100];
        std::snprintf(row, sizeof row, "%7s  %5d  %8d  %8d  %12d  %7d",
                      rs485 ? std::to_string(t.slave).c_str() : "RS-232C", t.sent, t.accepted,
                      t.rejected, t.notAnswered, t.skipped);
        out << row << (t.givenUp ? "  given up" : "") << '\n';
    }
}

} // namespace

int RunSender(const QStringList& arguments, std::ostream& out, std::ostream& err)
{
    std::string error;
    const auto options = SendOptions::parse(arguments, error);
    if (!options) {
        err << "mrv508-send: " << error << "\n\n" << SendOptions::usage();
        return SendBadInput;
    }
    if (options->help) {
        out << SendOptions::usage();
        return SendAllAccepted;
    }
    ResetSettings();
    if (const std::string problem = ReadSettingsFileStrictAt(options->file); !problem.empty()) {
        err << "mrv508-send: " << problem << '\n';
        return SendBadInput;
    }
    const std::vector<PlannedLine> plan = BuildSendPlan(*options);
    if (options->dryRun)
        return dryRun(plan, options->rs485(), out, err);
    SerialPort port;
    if (const std::string reason = openPort(port, *options); !reason.empty()) {
        err << "mrv508-send: cannot open the port: " << reason << '\n';
        return SendPortFailed;
    }
    // Ctrl+C ends the run after the line under way, with the summary of what was done.
    const TerminationSignals interrupts;
    LineSender sender(port, options->rs485(), options->paceMs, options->timeoutMs,
                      interrupts.requestDescriptor());
    const bool progress = &err == &std::cerr && isatty(STDERR_FILENO);
    const std::vector<SlaveTally> tallies = sender.send(plan, err, progress);
    printSummary(tallies, options->rs485(), out);
    for (const SlaveTally& tally : tallies)
        if (!tally.allAccepted())
            return SendNotAccepted;
    return SendAllAccepted;
}
