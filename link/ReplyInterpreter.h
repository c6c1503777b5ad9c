#pragma once

#include "platform/MessageBoxes.h"

#include <optional>
#include <string>

struct ReplyOutcome
{
    int replyError = 0;
    std::optional<BoxRequest> box;
};

// The reply without the device's slave number, which comes first on RS-485 whatever it holds.
const char* ReplyText(const char* line, int rsControl);

// The reply text as an operator is shown it, without its line end.
std::string ShownReply(const char* text);

// What one complete reply line means: the box to show and the new replyError. The line is a
// zero-terminated string as received, RS-485 prefix and CR LF included.
ReplyOutcome InterpretReplyLine(const char* line, int rsControl, int allSetStep);
