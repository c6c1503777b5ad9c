#include "link/ReplyInterpreter.h"
#include "res/Messages.h"

#include <cstring>

namespace {

struct ErrorReply
{
    const char* text;
    const char* message;
};

constexpr ErrorReply ErrorReplies[] = {
    {"GN\r\n", Message::ModeError},    {"MENU\r\n", Message::MenuDisplay},
    {"E0\r\n", Message::FramingError}, {"E1\r\n", Message::ParityError},
    {"E2\r\n", Message::OverRunError}, {"E3\r\n", Message::CommandError},
};

} // namespace

const char* ReplyText(const char* line, int rsControl)
{
    if (rsControl == 0)
        return line;
    const size_t length = std::strlen(line);
    return length < 2 ? line + length : line + 2;
}

std::string ShownReply(const char* text)
{
    std::string shown(text);
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r'))
        shown.pop_back();
    return shown;
}

ReplyOutcome InterpretReplyLine(const char* line, int rsControl, int allSetStep)
{
    const char* text = ReplyText(line, rsControl);
    if (std::strcmp(text, "GO\r\n") == 0) {
        if (allSetStep != 0)
            return {0, std::nullopt};
        return {0, BoxRequest{Message::Success, Caption::Done, BoxIcon::None, BoxSound::SimpleBeep,
                              BoxOwner::MessageOwner}};
    }
    for (const ErrorReply& reply : ErrorReplies)
        if (std::strcmp(text, reply.text) == 0)
            return {1, ErrorBox(reply.message)};
    return {0, std::nullopt};
}
