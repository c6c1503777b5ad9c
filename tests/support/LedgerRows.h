#pragma once

#include <string>

// Every row a query finds in the ledger at `path`, read behind the programs' backs: columns joined
// by "|", each row ended by ";", NULL as "NULL".
std::string LedgerRows(const std::string& path, const char* query);
