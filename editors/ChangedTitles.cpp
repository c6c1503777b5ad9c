#include "editors/ChangedTitles.h"

#include "ledger/CommandItem.h"
#include "send/SendLedger.h"
#include "send/SendPlan.h"
#include "send/TimeText.h"
#include "settings/DeviceSettings.h"

#include <algorithm>

namespace {

std::string why(const std::map<std::string, HeldItem>& held, const std::string& item, bool rs485)
{
    const auto found = held.find(item);
    if (found == held.end())
        return "デバイスがこのタイトルを受け付けた記録はありません";
    const HeldItem& last = found->second;
    return "デバイスが最後に受け付けたのは「" + ShownValue(last, rs485) + "」(" +
           LocalTimeText(last.time).substr(0, 16) + ")" +
           (last.unsure ? "。その後の送信には応答がありませんでした" : "");
}

} // namespace

std::vector<ChangedTitle> FindChangedTitles(Ledger& ledger, const SendLine& line)
{
    SendOptions titles;
    titles.levels = false;
    titles.offsets = false;
    titles.rs485 = line.rs485;
    titles.slaves = line.slaves;
    const SlaveChanges changes = FindChangedLines(BuildSendPlan(titles), ledger, line).at(0);
    std::vector<ChangedTitle> changed;
    for (int position = 0; position < TitleCount; ++position)
        for (int channel = 0; channel < ChannelCount; ++channel) {
            const std::string item = TitleItem(channel, position);
            if (std::any_of(changes.differing.begin(), changes.differing.end(),
                            [&item](const PlannedLine& planned) { return planned.what == item; }))
                changed.push_back({{channel, position}, why(changes.held, item, line.rs485)});
        }
    return changed;
}
