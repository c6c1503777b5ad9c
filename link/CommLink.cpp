#include "link/CommLink.h"

#include "ledger/CommandItem.h"
#include "link/CommandFrame.h"
#include "link/LinkSupervision.h"
#include "link/PortOpening.h"
#include "link/PortSurvey.h"
#include "link/ReplyInterpreter.h"
#include "link/ReplyLineGatherer.h"
#include "platform/MessageBoxes.h"
#include "platform/Profile.h"
#include "res/Messages.h"
#include "settings/DeviceSettings.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

CommLink SerialLink;

namespace {

constexpr int WriteTimeoutMs = 1000;
constexpr size_t ReadBufferSize = 100;

} // namespace

CommLink::~CommLink()
{
    StopLink();
}

void CommLink::StartLink()
{
    DeviceSettings.comPort = GetProfileInt("com_port");
    DeviceSettings.rsControl = GetProfileInt("rs_control");
    OpenPort();
    StartReader();
}

void CommLink::OpenPort()
{
    linePath = PortDevicePath(DeviceSettings.comPort);
    const std::string reason = OpenComPort(port, DeviceSettings.comPort);
    if (!reason.empty())
        ShowLinkError(Message::FileOpenFailed + ("\n\n" + reason));
    if (!port.setEventMask())
        ShowLinkError(Message::MaskSetFailed);
    if (!port.setQueues())
        ShowLinkError(Message::BufferSetFailed);
    if (!port.setTimeouts())
        ShowLinkError(Message::TimeOutSetFailed);
    if (!port.setLineState())
        ShowLinkError(Message::CommStateFailed);
}

void CommLink::StartReader()
{
    if (readerThread.joinable())
        return;
    // No reply to a command sent on an earlier port can come on this one: nothing counts towards
    // "No Connect" until the next command.
    NoteReplyLine();
    windowThread.listen();
    readerBoxes.rearm();
    readerRunning = 1;
    wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    try {
        if (wakeFd < 0)
            throw std::system_error(errno, std::generic_category());
        readerThread = std::thread(&CommLink::ReplyReaderProc, this);
    } catch (const std::system_error&) {
        readerRunning = 0;
        if (wakeFd >= 0)
            close(wakeFd);
        wakeFd = -1;
        ShowLinkError(Message::ReadThreadFailed);
    }
}

void CommLink::StopLink()
{
    readerRunning = 0;
    readerBoxes.abandonWaits();
    if (wakeFd >= 0) {
        const uint64_t wake = 1;
        [[maybe_unused]] const ssize_t ignored = write(wakeFd, &wake, sizeof wake);
    }
    if (readerThread.joinable())
        readerThread.join();
    portHungUp = 0; // a release still on its way must leave the next port alone
    if (const std::optional<Awaited> unanswered = awaitReply(std::nullopt))
        record(*unanswered, LedgerResult::NotAnswered, "");
    ledger.reset();
    port.close();
    if (wakeFd >= 0)
        close(wakeFd);
    wakeFd = -1;
}

void CommLink::ShowLinkError(const std::string& text)
{
    Boxes().show({text, Caption::Error, BoxIcon::Error, BoxSound::QuestionSound, BoxOwner::None});
    port.close();
}

std::string CommLink::silenceReason() const
{
    std::string why;
    for (const std::string& reason : SilenceReasons(port.modemLines(), bytesWithoutLine))
        why += (why.empty() ? "" : "\n") + reason;
    return why;
}

std::string CommLink::ledgerName() const
{
    return StableLineName(linePath);
}

void CommLink::SendCommand(const std::string& commandLine)
{
    const auto frame =
        MakeCommandFrame(commandLine, DeviceSettings.rsControl, DeviceSettings.slaveNo);
    if (!frame) {
        ShowWarning(Message::ChooseSlave);
        return;
    }
    // Awaited before the write starts: a device that answers while the write is still waited
    // for must clear the flag, not find it set afterwards and end in a false "No Connect".
    NoteCommandSent();
    // Opened with the first command rather than the port, which opens while the window starts.
    if (!ledger) {
        ledger = std::make_unique<Ledger>(Ledger::DefaultPath(), "mrv508", std::cerr);
        lineName = ledgerName();
    }
    const std::optional<int> slave =
        DeviceSettings.rsControl != 0 ? std::optional<int>(DeviceSettings.slaveNo) : std::nullopt;
    if (const std::optional<Awaited> unanswered = awaitReply(Awaited{lineName, slave, *frame}))
        record(*unanswered, LedgerResult::NotAnswered, "");
    // Failures are not reported here: the missing reply ends in "No Connect".
    port.write(frame->data(), frame->size(), WriteTimeoutMs);
}

void CommLink::ReplyReaderProc()
{
    ReplyLineGatherer gatherer(DeviceSettings.replyPos);
    char buffer[ReadBufferSize];
    // Without a port, or once it has hung up, the reader waits for its stop alone.
    const int portFd = port.descriptor();
    bool watchPort = port.isOpen();
    while (readerRunning == 1) {
        pollfd waits[2] = {{wakeFd, POLLIN, 0}, {portFd, POLLIN, 0}};
        if (poll(waits, watchPort ? 2 : 1, -1) <= 0 || waits[0].revents != 0 || !watchPort)
            continue;
        const ssize_t count = waits[1].revents & POLLIN ? port.read(buffer, sizeof buffer) : 0;
        if (count > 0) {
            gatherer.append(buffer, static_cast<size_t>(count),
                            [this](const char* line) { InterpretReply(line); });
            bytesWithoutLine = gatherer.bytesWithoutLine();
            continue;
        }
        if ((count < 0 && errno != EAGAIN && errno != EINTR) ||
            (waits[1].revents & (POLLHUP | POLLERR | POLLNVAL))) {
            watchPort = false;
            handOverHungUpPort();
        }
    }
    if (watchPort)
        port.purgeInput();
}

void CommLink::handOverHungUpPort()
{
    // The reader never touches the port again; the window thread closes it, so that an unplugged
    // adapter's device node is let go and a re-plugged one comes back under its old name.
    portHungUp = 1;
    windowThread.post([this] {
        if (portHungUp.exchange(0) == 1)
            port.close();
    });
}

void CommLink::InterpretReply(const char* line)
{
    const ReplyOutcome outcome =
        InterpretReplyLine(line, DeviceSettings.rsControl, DeviceSettings.allSetStep);
    // Taken before the reply counts as come: the batch's next frame must not find it awaited.
    const std::optional<Awaited> answered = awaitReply(std::nullopt);
    // Recorded before the reply counts as come, so that whoever sees the batch end reads it
    // from the ledger; and before the box, which waits for the operator.
    const char* text = ReplyText(line, DeviceSettings.rsControl);
    if (answered)
        record(*answered,
               std::strcmp(text, "GO\r\n") == 0 ? LedgerResult::Accepted : LedgerResult::Rejected,
               ShownReply(text));
    // The outcome is stored before the reply counts as come, so that whoever sees the reply come
    // (the batch's next step) also sees whether the device refused the line.
    DeviceSettings.replyError = outcome.replyError;
    NoteReplyLine();
    if (outcome.box)
        readerBoxes.show(*outcome.box);
}

std::optional<CommLink::Awaited> CommLink::awaitReply(std::optional<Awaited> next)
{
    std::lock_guard guard(awaitedLock);
    std::swap(awaited, next);
    return next;
}

void CommLink::record(const Awaited& sent, LedgerResult result, const std::string& reply)
{
    if (!ledger)
        return;
    // Every command the tool builds has a name; anything else is kept under its own bytes.
    const CommandItem item = NameCommandItem(sent.frame, sent.slave.has_value())
                                 .value_or(CommandItem{sent.frame, sent.frame, sent.frame});
    ledger->record({sent.line, sent.slave, item.item, item.value, sent.frame, result, reply, false,
                    std::chrono::system_clock::now()});
}
