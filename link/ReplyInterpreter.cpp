#include "link/ReplyInterpreter.h"

#include <cstring>

namespace {

struct ErrorReply
{
    const char* text;
    const char* message;
};

constexpr ErrorReply ErrorReplies[] = {
    {"GN\r\n", "Mode Error"},   {"MENU\r\n", "Menu Display"}, {"E0\r\n", "Framing Error"},
    {"E1\r\n", "Parity Error"}, {"E2\r\n", "Over Run Error"}, {"E3\r\n", "Command Error"},
};

const char* replyText(const char* line, int rsControl)
{
    if (rsControl == 0)
        return line;
    // The device's slave number comes first; it is dropped, whatever it holds.
    const size_t length = std::strlen(line);
    return length < 2 ? line + length : line + 2;
}

} // namespace

ReplyOutcome InterpretReplyLine(const char* line, int rsControl, int allSetStep)
{
    const char* text = replyText(line, rsControl);
    if (std::strcmp(text, "GO\r\n") == 0) {
        if (allSetStep != 0)
            return {0, std::nullopt};
        return {0, BoxRequest{"Success", "設定完了", BoxIcon::None, BoxSound::SimpleBeep,
                              BoxOwner::MessageOwner}};
    }
    for (const ErrorReply& reply : ErrorReplies)
        if (std::strcmp(text, reply.text) == 0)
            return {1, ErrorBox(reply.message)};
    return {0, std::nullopt};
}
