#pragma once

#include <optional>
#include <string>
#include <vector>

// The reply flags shared by the window thread (send, supervision tick) and the reader thread
// (reply line). Each change takes the record's replyFlagsLock, so a reply that arrives during a
// tick always leaves the count at 0.
void NoteCommandSent();
// A complete reply line; also the start of a reader, which awaits no reply sent before it.
void NoteReplyLine();

// One supervision tick; true on the seventh tick counted while a reply is awaited, when the
// program is to report "No Connect".
bool CountNoReplyTick();

// Why a reply may be missing, one sentence each, as far as the line tells: the modem lines
// (TIOCM_ bits; a device that is off, or a cable without handshake lines, leaves CTS off; a
// pseudo-terminal reports none), and the bytes that came without making a reply line.
std::vector<std::string> SilenceReasons(std::optional<int> modemLines, long long bytesWithoutLine);
