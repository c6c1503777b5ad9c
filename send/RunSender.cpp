#include "send/RunSender.h"

#include "ledger/Ledger.h"
#include "link/PortOpening.h"
#include "link/PortSurvey.h"
#include "link/SerialPort.h"
#include "platform/Profile.h"
#include "platform/TerminationSignals.h"
#include "send/LineSender.h"
#include "send/SendLedger.h"
#include "send/SendOptions.h"
#include "send/SendPlan.h"
#include "send/SendProgress.h"
#include "send/SendReport.h"
#include "settings/DeviceSettings.h"
#include "settings/SettingsFileAccess.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr const char* Program = "mrv508-send";

std::vector<int> slavesOf(const SendLine& line)
{
    return line.rs485 ? line.slaves : std::vector<int>{0};
}

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
            err << Program << ": " << problem << '\n';
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

// The lines of a report that the device did not accept.
std::vector<PlannedLine> notAccepted(const SendReport& report)
{
    std::vector<PlannedLine> plan;
    for (size_t at = 0; at < report.plan.size(); ++at)
        if (report.outcomes[at].result != LineResult::Accepted)
            plan.push_back(report.plan[at]);
    return plan;
}

// --retry goes to the report's slaves on the report's line: its port, or else its path, unless
// --port or --device says otherwise.
bool adoptReportLine(SendOptions& options, const SendReport& report, std::string& error)
{
    const char* mode = report.line.rs485 ? "RS-485" : "RS-232C";
    if (options.rs485Asked && *options.rs485Asked != report.line.rs485) {
        error = options.retryFile + " is a report of an " + mode + " line";
        return false;
    }
    options.rs485Asked = report.line.rs485;
    options.slaves = report.line.slaves;
    if (options.device.empty() && options.comPort < 0) {
        if (report.line.comPort >= 0)
            options.comPort = report.line.comPort;
        else
            options.device = report.line.path;
    }
    return true;
}

SendLine chooseLine(const SendOptions& options)
{
    SendLine line;
    line.comPort = options.device.empty()
                       ? (options.comPort >= 0 ? options.comPort : GetProfileInt("com_port"))
                       : -1;
    line.path = line.comPort >= 0 ? PortDevicePath(line.comPort) : options.device;
    line.name = StableLineName(line.path);
    line.rs485 = options.rs485;
    if (options.rs485)
        line.slaves = options.slaves;
    return line;
}

// What was opened, as "COM1 = /dev/ttyUSB0, RS-485, slaves 0,3,12".
std::string lineName(const SendLine& line)
{
    std::string name = line.comPort >= 0
                           ? "COM" + std::to_string(line.comPort + 1) + " = " + line.path
                           : line.path;
    if (!line.rs485)
        return name + ", RS-232C";
    name += ", RS-485, slaves ";
    for (const int slave : line.slaves)
        name += std::to_string(slave) + (slave == line.slaves.back() ? "" : ",");
    return name;
}

// Opens the port as the window tool does; returns why not.
std::string openPort(SerialPort& port, const SendLine& line)
{
    if (std::string reason =
            line.comPort >= 0 ? OpenComPort(port, line.comPort) : OpenDevicePort(port, line.path);
        !reason.empty())
        return reason;
    if (!port.setEventMask() || !port.setQueues() || !port.setTimeouts() || !port.setLineState())
        return line.path + ": the line cannot be set up";
    return {};
}

// A terminal tall enough for a progress row per slave, which is rewritten in place.
bool rowsFit(size_t rows)
{
    winsize size{};
    return isatty(STDERR_FILENO) && ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 &&
           size.ws_row > rows;
}

// A row for every slave of the line, also for one that had no line to send.
std::vector<SlaveTally> everySlave(const std::vector<SlaveTally>& tallies, const SendLine& line)
{
    std::vector<SlaveTally> all;
    for (const int slave : slavesOf(line)) {
        const auto found = std::find_if(tallies.begin(), tallies.end(),
                                        [slave](const SlaveTally& t) { return t.slave == slave; });
        all.push_back(found != tallies.end() ? *found : SlaveTally{slave});
    }
    return all;
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

int exitStatus(const std::vector<SlaveTally>& tallies, bool interrupted)
{
    if (interrupted)
        return SendInterrupted;
    for (const SlaveTally& tally : tallies)
        if (!tally.allAccepted())
            return SendNotAccepted;
    return SendAllAccepted;
}

} // namespace

int RunSender(const QStringList& arguments, std::ostream& out, std::ostream& err)
{
    std::string error;
    auto options = SendOptions::parse(arguments, error);
    if (!options) {
        err << Program << ": " << error << "\n\n" << SendOptions::usage();
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
    std::optional<SendReport> retried;
    if (!options->retryFile.empty()) {
        retried = ReadSendReport(options->retryFile, error);
        if (!retried || !adoptReportLine(*options, *retried, error)) {
            err << Program << ": " << error << '\n';
            return SendBadInput;
        }
    }
    if (!options->settleLine(GetProfileInt("rs_control") != 0, error)) {
        err << Program << ": " << error << '\n';
        return SendBadInput;
    }
    const SendLine line = chooseLine(*options);
    if (retried && retried->line.name != line.name) {
        err << Program << ": " << options->retryFile << " is a report of " << retried->line.name
            << ", not of " << line.name << '\n';
        return SendBadInput;
    }
    std::optional<Ledger> ledger;
    if (!options->dryRun || options->changed)
        ledger.emplace(Ledger::DefaultPath(), Program, err);
    if ((options->history || options->changed) && !ledger->isOpen()) {
        err << Program << ": " << (options->history ? "--history" : "--changed")
            << " needs the ledger, which cannot be used\n";
        return SendBadInput;
    }
    if (options->history) {
        PrintLedgerHistory(*ledger, line, options->json, out);
        return SendAllAccepted;
    }
    auto plan = retried ? notAccepted(*retried) : planEverySlave(*options, err);
    if (!plan)
        return SendBadInput;
    std::ostringstream changes;
    if (options->changed)
        plan = KeepChangedLines(*plan, *ledger, line, changes);
    if (options->dryRun) {
        out << changes.str();
        return dryRun(*plan, options->rs485, out, err);
    }
    SerialPort port;
    if (const std::string reason = openPort(port, line); !reason.empty()) {
        err << Program << ": cannot open the port: " << reason << '\n';
        return SendPortFailed;
    }
    out << lineName(line) << '\n' << changes.str() << std::flush;
    SendReport report{line, {}, *plan, {}, std::chrono::system_clock::now(), {}};
    if (retried)
        report.files = retried->files;
    else
        for (const int slave : slavesOf(line))
            report.files.push_back({slave, options->fileOf(slave)});
    // Ctrl+C ends the run once the line under way is answered, with the summary of what was done.
    const TerminationSignals interrupts;
    LineSender sender(port, options->rs485, options->paceMs, options->timeoutMs,
                      interrupts.requestDescriptor());
    SendProgress progress(err, &err == &std::cerr &&
                                   rowsFit(options->rs485 ? options->slaves.size() : 1));
    const std::vector<SlaveTally> tallies = sender.send(
        report.plan, progress, [&](const PlannedLine& sent, const LineOutcome& outcome) {
            if (const std::optional<LedgerEntry> entry = SentLineEntry(line, sent, outcome))
                ledger->record(*entry);
        });
    printSummary(everySlave(tallies, line), options->rs485, out);
    const int status = exitStatus(tallies, sender.interrupted());
    if (options->reportFile.empty())
        return status;
    report.outcomes = sender.outcomes();
    report.finished = std::chrono::system_clock::now();
    if (const WriteResult written = WriteFileSafely(options->reportFile, SendReportJson(report));
        !written) {
        err << Program << ": cannot write " << options->reportFile << ": " << written.failure
            << '\n';
        return status == SendInterrupted ? status : SendBadInput;
    }
    return status;
}
