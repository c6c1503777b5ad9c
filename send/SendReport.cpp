#include "send/SendReport.h"

#include "ledger/CommandItem.h"
#include "link/CommandFrame.h"
#include "platform/Profile.h"
#include "send/TimeText.h"
#include "settings/DeviceSettings.h"
#include "settings/SettingsFileAccess.h"

#include <algorithm>
#include <iterator>
#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* ResultNames[] = {"not sent",     "accepted", "rejected",
                                       "not answered", "late",     "skipped"};

Json time(const std::optional<std::chrono::system_clock::time_point>& time)
{
    return time ? Json(IsoTimeText(*time)) : Json(nullptr);
}

Json text(const std::string& text)
{
    return text.empty() ? Json(nullptr) : Json(text);
}

Json lineJson(const PlannedLine& line, const LineOutcome& outcome)
{
    return {{"item", line.what},
            {"frame", line.frame ? Json(*line.frame) : Json(nullptr)},
            {"result", ResultNames[static_cast<int>(outcome.result)]},
            {"reply", text(outcome.reply)},
            {"problem", text(outcome.problem)},
            {"sent", time(outcome.sent)},
            {"answered", time(outcome.answered)}};
}

const std::string& fileOf(const SendReport& report, int slave)
{
    static const std::string none;
    for (const SlaveFile& file : report.files)
        if (file.slave == slave)
            return file.file;
    return none;
}

LineResult resultNamed(const std::string& name)
{
    const auto* found = std::find(std::begin(ResultNames), std::end(ResultNames), name);
    if (found == std::end(ResultNames))
        throw std::invalid_argument("unknown result \"" + name + "\"");
    return static_cast<LineResult>(found - std::begin(ResultNames));
}

// A frame from the file is sent only when it is a command of the device for its own slave.
void checkFrame(const std::string& frame, bool rs485, int slave)
{
    const bool addressed =
        !rs485 || (frame.size() > 2 && MakeCommandFrame(frame.substr(2), 1, slave) == frame);
    if (!addressed || !NameCommandItem(frame, rs485))
        throw std::invalid_argument("a frame of slave " + std::to_string(slave) +
                                    " is no command for it");
}

SendLine lineFrom(const Json& line)
{
    SendLine read;
    const Json& port = line.at("port");
    const std::string name = port.is_null() ? "" : port.get<std::string>();
    const int number = name.size() == 4 && name.starts_with("COM") ? name[3] - '1' : -1;
    if (!port.is_null() && (number < 0 || number >= ComPortCount))
        throw std::invalid_argument("unknown port \"" + name + "\"");
    read.comPort = number;
    read.path = line.at("path").get<std::string>();
    read.name = line.at("device").get<std::string>();
    const std::string mode = line.at("mode").get<std::string>();
    if (mode != "RS-485" && mode != "RS-232C")
        throw std::invalid_argument("unknown mode \"" + mode + "\"");
    read.rs485 = mode == "RS-485";
    return read;
}

SendReport reportFrom(const Json& document)
{
    SendReport report;
    report.line = lineFrom(document.at("line"));
    const bool rs485 = report.line.rs485;
    for (const Json& station : document.at("slaves")) {
        const int slave = rs485 ? station.at("slave").get<int>() : 0;
        if (slave < 0 || slave >= SlaveCount || (!rs485 && !station.at("slave").is_null()))
            throw std::invalid_argument("a slave that does not fit the line");
        if (rs485)
            report.line.slaves.push_back(slave);
        report.files.push_back({slave, station.at("file").get<std::string>()});
        for (const Json& entry : station.at("lines")) {
            PlannedLine line{slave, entry.at("item").get<std::string>(), std::nullopt, ""};
            if (!entry.at("frame").is_null()) {
                line.frame = entry.at("frame").get<std::string>();
                checkFrame(*line.frame, rs485, slave);
            }
            if (!entry.at("problem").is_null())
                line.problem = entry.at("problem").get<std::string>();
            LineOutcome outcome;
            outcome.result = resultNamed(entry.at("result").get<std::string>());
            if (!line.frame && line.problem.empty())
                throw std::invalid_argument("a line without a frame and without a problem");
            report.plan.push_back(std::move(line));
            report.outcomes.push_back(std::move(outcome));
        }
    }
    return report;
}

} // namespace

std::string SendReportJson(const SendReport& report)
{
    const SendLine& line = report.line;
    Json stations = Json::array();
    for (const int slave : line.rs485 ? line.slaves : std::vector<int>{0}) {
        Json lines = Json::array();
        for (size_t at = 0; at < report.plan.size(); ++at)
            if (report.plan[at].slave == slave)
                lines.push_back(lineJson(report.plan[at], report.outcomes[at]));
        stations.push_back({{"slave", line.rs485 ? Json(slave) : Json(nullptr)},
                            {"file", fileOf(report, slave)},
                            {"lines", std::move(lines)}});
    }
    const Json document = {
        {"program", "mrv508-send"},
        {"line",
         {{"port", line.comPort >= 0 ? Json("COM" + std::to_string(line.comPort + 1)) : nullptr},
          {"path", line.path},
          {"device", line.name},
          {"mode", line.rs485 ? "RS-485" : "RS-232C"}}},
        {"started", IsoTimeText(report.started)},
        {"finished", IsoTimeText(report.finished)},
        {"slaves", std::move(stations)}};
    // File names are bytes; one that is no UTF-8 is shown with replacement characters.
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

std::optional<SendReport> ReadSendReport(const std::string& file, std::string& error)
{
    const std::optional<std::string> bytes = ReadFileAt(file);
    if (!bytes) {
        error = file + ": cannot read the report";
        return std::nullopt;
    }
    try {
        return reportFrom(Json::parse(*bytes));
    } catch (const std::exception& problem) {
        error = file + ": not a report of mrv508-send: " + problem.what();
        return std::nullopt;
    }
}
