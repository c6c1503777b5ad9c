#include "editors/TitleBatch.h"

#include "editors/TitleCommand.h"
#include "platform/MessageBoxes.h"
#include "res/Messages.h"
#include "settings/DeviceSettings.h"

#include <QProgressBar>

namespace {

constexpr int PeriodMs = 600;

} // namespace

TitleBatch::TitleBatch(QObject& owner, QProgressBar& progress, std::function<void()> ended)
    : owner(owner), progress(progress), ended(std::move(ended))
{}

void TitleBatch::start(std::vector<Title> chosen)
{
    if (running() || chosen.empty())
        return;
    titles = std::move(chosen);
    progress.setRange(0, static_cast<int>(titles.size()));
    progress.setValue(0);
    DeviceSettings.allSetStep = 1;
    timer.start(PeriodMs, &owner);
}

bool TitleBatch::running() const
{
    return DeviceSettings.allSetStep != 0;
}

void TitleBatch::OnTimer()
{
    if (stepRunning || !timer.isActive())
        return;
    // "No Connect" ends every batch at once; its timer finds it so.
    if (!running()) {
        end();
        return;
    }
    // An error reply, or a title rejected for its length at the last tick, ends the batch.
    if (DeviceSettings.replyError != 0) {
        DeviceSettings.replyError = 0;
        end();
        return;
    }
    const int step = DeviceSettings.allSetStep;
    if (step > static_cast<int>(titles.size())) {
        closeWhenAnswered();
        return;
    }
    const Title title = titles[static_cast<size_t>(step - 1)];
    stepRunning = true;
    if (!PadTitle(title.channel, title.position)) {
        DeviceSettings.replyError = 1;
        ShowWarning(Message::NotJis);
    } else if (SendTitle(title.channel, title.position) == 1) {
        ShowWarning(Message::NotJis); // only this line is skipped
    }
    stepRunning = false;
    if (!running())
        return; // ended while the warning was open
    DeviceSettings.allSetStep = step + 1;
    progress.setValue(step);
}

// The batch's one "Success" box comes once the last line is answered, however late that is; an
// error reply has shown its own box and ended the batch at the tick before.
void TitleBatch::closeWhenAnswered()
{
    if (DeviceSettings.awaitingReply != 0)
        return;
    stepRunning = true;
    Boxes().show({Message::Success, Caption::Done, BoxIcon::None, BoxSound::SimpleBeep,
                  BoxOwner::MessageOwner});
    stepRunning = false;
    if (!running())
        return; // ended while the box was open
    end();
    progress.setValue(0);
}

void TitleBatch::end()
{
    DeviceSettings.allSetStep = 0;
    timer.stop();
    ended();
}
