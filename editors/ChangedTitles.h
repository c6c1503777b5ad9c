#pragma once

#include "editors/TitleBatch.h"
#include "ledger/Ledger.h"
#include "send/SendReport.h"

#include <string>
#include <vector>

// A title of the record that the device may not hold, and why, as the operator reads it.
struct ChangedTitle
{
    TitleBatch::Title title;
    std::string why;
};

// The record's titles that the line's device (on RS-485 its one slave) did not last acknowledge,
// as mrv508-send --changed finds them, in the title table's order: row by row, ch.1 before ch.2.
std::vector<ChangedTitle> FindChangedTitles(Ledger& ledger, const SendLine& line);
