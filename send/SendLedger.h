#pragma once

#include "ledger/Ledger.h"
#include "send/LineOutcome.h"
#include "send/SendPlan.h"
#include "send/SendReport.h"

#include <iosfwd>
#include <optional>
#include <vector>

// The sender's part of the ledger: its entries, --changed and --history.

// The ledger's entry for a sent line's outcome; nothing for a line that never reached the device.
std::optional<LedgerEntry> SentLineEntry(const SendLine& line, const PlannedLine& planned,
                                         const LineOutcome& outcome);

// The plan without the lines whose value each slave last acknowledged, unless a line to the same
// item went unanswered since; lines without a frame stay, to be reported again. Says on `out`
// how many lines of each slave are left and since when the ledger knows the slave.
std::vector<PlannedLine> KeepChangedLines(const std::vector<PlannedLine>& plan, Ledger& ledger,
                                          const SendLine& line, std::ostream& out);

// What the ledger holds for each slave of the line: every item's last acknowledged value and
// when, and the items never acknowledged; as text or as JSON.
void PrintLedgerHistory(Ledger& ledger, const SendLine& line, bool json, std::ostream& out);
