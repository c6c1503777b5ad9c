#include "send/SendLedger.h"

#include "ledger/CommandItem.h"
#include "send/TimeText.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <ostream>

namespace {

using Json = nlohmann::ordered_json;
using Held = std::map<std::string, HeldItem>;

std::vector<int> slavesOf(const SendLine& line)
{
    return line.rs485 ? line.slaves : std::vector<int>{0};
}

std::optional<int> ledgerSlave(const SendLine& line, int slave)
{
    return line.rs485 ? std::optional<int>(slave) : std::nullopt;
}

std::string label(const SendLine& line, int slave)
{
    return line.rs485 ? "slave " + std::to_string(slave) : "RS-232C";
}

bool differs(const PlannedLine& planned, const Held& held, bool rs485)
{
    const std::optional<CommandItem> item =
        planned.frame ? NameCommandItem(*planned.frame, rs485) : std::nullopt;
    if (!item)
        return true;
    const auto found = held.find(item->item);
    return found == held.end() || found->second.value != item->value || found->second.unsure;
}

// An item's name before its number, and the number; -1 for an item without one.
std::pair<std::string, int> numbered(const std::string& item)
{
    const size_t digits = item.find_last_not_of("0123456789") + 1;
    if (digits == item.size())
        return {item, -1};
    return {item.substr(0, digits), std::stoi(item.substr(digits))};
}

// "ch.1 title Bottom1..32, ch.1 title Top": a run of items that differ only in a number counting
// up is named once.
std::string folded(const std::vector<std::string>& items)
{
    std::string text;
    for (size_t at = 0, end = 0; at < items.size(); at = end) {
        const auto [stem, first] = numbered(items[at]);
        for (end = at + 1; first >= 0 && end < items.size() &&
                           numbered(items[end]) == std::pair(stem, first + int(end - at));
             ++end) {
        }
        text += (text.empty() ? "" : ", ") + items[at] +
                (end - at > 1 ? ".." + std::to_string(first + int(end - at) - 1) : "");
    }
    return text;
}

void printText(const SendLine& line, int slave, const Held& held, std::ostream& out)
{
    const std::vector<std::string> items = AllCommandItems();
    out << label(line, slave) << ": ";
    if (held.empty()) {
        out << "nothing acknowledged\n";
        return;
    }
    out << held.size() << " of " << items.size() << " items acknowledged, the last on "
        << LocalTimeText(*LastAcknowledged(held)) << '\n';
    std::vector<std::string> never;
    for (const std::string& item : items) {
        const auto found = held.find(item);
        if (found == held.end()) {
            never.push_back(item);
            continue;
        }
        const HeldItem& value = found->second;
        std::string row = "  " + item;
        row.resize(std::max<size_t>(row.size() + 2, 31), ' ');
        out << row << LocalTimeText(value.time) << "  " << value.program << "  "
            << ShownValue(value, line.rs485)
            << (value.unsure ? "  (a later line went unanswered)" : "") << '\n';
    }
    if (!never.empty())
        out << "  never acknowledged: " << folded(never) << '\n';
}

Json slaveJson(const SendLine& line, int slave, const Held& held)
{
    Json items = Json::array();
    Json never = Json::array();
    for (const std::string& item : AllCommandItems()) {
        const auto found = held.find(item);
        if (found == held.end()) {
            never.push_back(item);
            continue;
        }
        const HeldItem& value = found->second;
        items.push_back({{"item", item},
                         {"value", value.value},
                         {"shown", ShownValue(value, line.rs485)},
                         {"time", IsoTimeText(value.time)},
                         {"program", value.program},
                         {"unsure", value.unsure}});
    }
    return {{"slave", line.rs485 ? Json(slave) : Json(nullptr)},
            {"items", std::move(items)},
            {"never", std::move(never)}};
}

} // namespace

std::optional<LedgerEntry> SentLineEntry(const SendLine& line, const PlannedLine& planned,
                                         const LineOutcome& outcome)
{
    LedgerResult result = LedgerResult::NotAnswered;
    switch (outcome.result) {
    case LineResult::Accepted:
        result = LedgerResult::Accepted;
        break;
    case LineResult::Rejected:
        result = LedgerResult::Rejected;
        break;
    case LineResult::Late:
        result = outcome.reply == "GO" ? LedgerResult::Accepted : LedgerResult::Rejected;
        break;
    case LineResult::NotAnswered:
        break;
    default:
        return std::nullopt;
    }
    const std::string& frame = planned.frame.value_or("");
    const CommandItem item =
        NameCommandItem(frame, line.rs485).value_or(CommandItem{planned.what, frame, frame});
    return LedgerEntry{line.name,
                       ledgerSlave(line, planned.slave),
                       item.item,
                       item.value,
                       frame,
                       result,
                       outcome.reply,
                       outcome.result == LineResult::Late,
                       outcome.answered.value_or(std::chrono::system_clock::now())};
}

std::vector<SlaveChanges> FindChangedLines(const std::vector<PlannedLine>& plan, Ledger& ledger,
                                           const SendLine& line)
{
    std::vector<SlaveChanges> slaves;
    for (const int slave : slavesOf(line)) {
        SlaveChanges changes{slave, ledger.held(line.name, ledgerSlave(line, slave)), {}, 0};
        for (const PlannedLine& planned : plan) {
            if (planned.slave != slave)
                continue;
            ++changes.total;
            if (differs(planned, changes.held, line.rs485))
                changes.differing.push_back(planned);
        }
        slaves.push_back(std::move(changes));
    }
    return slaves;
}

std::optional<std::chrono::system_clock::time_point> LastAcknowledged(const Held& held)
{
    std::optional<std::chrono::system_clock::time_point> last;
    for (const auto& [item, value] : held)
        last = std::max(last.value_or(value.time), value.time);
    return last;
}

std::string ShownValue(const HeldItem& held, bool rs485)
{
    const std::optional<CommandItem> item = NameCommandItem(held.frame, rs485);
    return item ? item->shown : held.value;
}

std::vector<PlannedLine> KeepChangedLines(const std::vector<PlannedLine>& plan, Ledger& ledger,
                                          const SendLine& line, std::ostream& out)
{
    std::vector<PlannedLine> kept;
    for (const SlaveChanges& changes : FindChangedLines(plan, ledger, line)) {
        kept.insert(kept.end(), changes.differing.begin(), changes.differing.end());
        const auto last = LastAcknowledged(changes.held);
        out << label(line, changes.slave) << ": " << changes.differing.size() << " of "
            << changes.total << " lines differ"
            << (last ? " from what it acknowledged on " + LocalTimeText(*last).substr(0, 16)
                     : ": it has acknowledged none")
            << '\n';
    }
    return kept;
}

void PrintLedgerHistory(Ledger& ledger, const SendLine& line, bool json, std::ostream& out)
{
    Json slaves = Json::array();
    if (!json)
        out << line.name << ", " << (line.rs485 ? "RS-485" : "RS-232C") << '\n';
    for (const int slave : slavesOf(line)) {
        const Held held = ledger.held(line.name, ledgerSlave(line, slave));
        if (json)
            slaves.push_back(slaveJson(line, slave, held));
        else
            printText(line, slave, held, out);
    }
    if (json)
        out << Json{{"device", line.name},
                    {"mode", line.rs485 ? "RS-485" : "RS-232C"},
                    {"slaves", std::move(slaves)}}
                   .dump(2, ' ', false, Json::error_handler_t::replace)
            << '\n';
}
