#pragma once

#include <optional>
#include <string>

// The reply flags shared by the window thread (send, supervision tick) and the reader thread
// (reply line). Each change takes the record's replyFlagsLock, so a reply that arrives during a
// tick always leaves the count at 0.
void NoteCommandSent();
// A complete reply line; also the start of a reader, which awaits no reply sent before it.
void NoteReplyLine();

// One supervision tick; true on the seventh tick counted while a reply is awaited, when the
// program is to report "No Connect".
bool CountNoReplyTick();

// What the line's modem lines (TIOCM_ bits) say about a missing reply, where they tell: a device
// that is off, or a cable without handshake lines, leaves CTS off. Empty where the port reports
// no modem lines (a pseudo-terminal) or they explain nothing.
std::string SilenceReason(std::optional<int> modemLines);
