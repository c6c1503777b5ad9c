#pragma once

#include "ledger/Ledger.h"

#include <optional>
#include <string>

// Every row a query finds in the ledger at `path`, read behind the programs' backs: columns joined
// by "|", each row ended by ";", NULL as "NULL".
std::string LedgerRows(const std::string& path, const char* query);

// The record's title at channel and position as the device on `line` answered it, as the window
// tool records it.
LedgerEntry TitleEntry(const std::string& line, std::optional<int> slave, int channel, int position,
                       LedgerResult result);
