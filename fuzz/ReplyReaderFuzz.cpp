// Feeds arbitrary bytes, cut into arbitrary reads, through the reply line gathering and the reply
// table, as the reader thread does with whatever the line delivers.
#include "link/ReplyInterpreter.h"
#include "link/ReplyLineGatherer.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int rsControl = data[0] & 1;
    int replyPos = data[0] >> 1; // also a damaged position left by an earlier reader
    ReplyLineGatherer gatherer(replyPos);
    size_t offset = 1;
    while (offset < size) {
        const size_t chunk = std::min<size_t>(1 + data[offset] % 120, size - offset - 1);
        if (chunk == 0)
            break;
        const char* bytes = reinterpret_cast<const char*>(data + offset + 1);
        gatherer.append(bytes, chunk, [&](const char* line) {
            if (std::strlen(line) > ReplyLineGatherer::LineLength)
                __builtin_trap();
            const ReplyOutcome outcome = InterpretReplyLine(line, rsControl, data[0] & 2);
            if (outcome.replyError != 0 && !outcome.box)
                __builtin_trap();
        });
        offset += 1 + chunk;
    }
    return 0;
}
