#include "send/RunSender.h"

#include "send/SendOptions.h"
#include "send/SendPlan.h"
#include "settings/DeviceSettings.h"
#include "settings/SettingsFileAccess.h"

#include <ostream>

namespace {

int dryRun(const std::vector<PlannedLine>& plan, std::ostream& out, std::ostream& err)
{
    int result = SendAllAccepted;
    for (const PlannedLine& line : plan) {
        if (line.frame) {
            out << ReadableFrame(*line.frame) << '\n';
        } else {
            err << "slave " << line.slave << ", " << line.what << ": " << line.problem
                << " (skipped)\n";
            result = SendNotAccepted;
        }
    }
    return result;
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
    if (!ReadSettingsFileAt(options->file)) {
        err << "mrv508-send: cannot read the settings file " << options->file << '\n';
        return SendBadInput;
    }
    const std::vector<PlannedLine> plan = BuildSendPlan(*options);
    if (options->dryRun)
        return dryRun(plan, out, err);
    err << "mrv508-send: sending is not built yet; use --dry-run\n";
    return SendPortFailed;
}
