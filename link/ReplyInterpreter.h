#pragma once

#include "platform/MessageBoxes.h"

#include <optional>

struct ReplyOutcome
{
    int replyError = 0;
    std::optional<BoxRequest> box;
};

// What one complete reply line means: the box to show and the new replyError. The line is a
// zero-terminated string as received, RS-485 prefix and CR LF included.
ReplyOutcome InterpretReplyLine(const char* line, int rsControl, int allSetStep);
