#pragma once

#include "ledger/Ledger.h"
#include "send/LineOutcome.h"
#include "send/SendPlan.h"
#include "send/SendReport.h"

#include <chrono>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The sender's part of the ledger: its entries, --changed and --history.

// The ledger's entry for a sent line's outcome; nothing for a line that never reached the device.
std::optional<LedgerEntry> SentLineEntry(const SendLine& line, const PlannedLine& planned,
                                         const LineOutcome& outcome);

// One slave's lines of a plan beside what the ledger holds for it.
struct SlaveChanges
{
    int slave = 0;
    std::map<std::string, HeldItem> held;
    std::vector<PlannedLine> differing; // in the plan's order
    int total = 0;                      // the slave's lines in the plan
};

// For each slave of the line, the lines of the plan whose value it did not last acknowledge, or
// to whose item a later line went unanswered; lines without a frame count as differing.
std::vector<SlaveChanges> FindChangedLines(const std::vector<PlannedLine>& plan, Ledger& ledger,
                                           const SendLine& line);

// When the device last acknowledged any item; nothing when it never did.
std::optional<std::chrono::system_clock::time_point>
LastAcknowledged(const std::map<std::string, HeldItem>& held);

// A held value as the operator reads it: a title as its text, a number as a number.
std::string ShownValue(const HeldItem& held, bool rs485);

// The plan without the lines whose value each slave last acknowledged, unless a line to the same
// item went unanswered since; lines without a frame stay, to be reported again. Says on `out`
// how many lines of each slave are left and since when the ledger knows the slave.
std::vector<PlannedLine> KeepChangedLines(const std::vector<PlannedLine>& plan, Ledger& ledger,
                                          const SendLine& line, std::ostream& out);

// What the ledger holds for each slave of the line: every item's last acknowledged value and
// when, and the items never acknowledged; as text or as JSON.
void PrintLedgerHistory(Ledger& ledger, const SendLine& line, bool json, std::ostream& out);
