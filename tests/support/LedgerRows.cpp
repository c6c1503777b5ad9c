#include "support/LedgerRows.h"

#include "editors/TitleCommand.h"
#include "ledger/CommandItem.h"
#include "link/CommandFrame.h"

#include <sqlite3.h>

std::string LedgerRows(const std::string& path, const char* query)
{
    sqlite3* db = nullptr;
    std::string text;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_exec(
        db, query,
        [](void* result, int count, char** values, char**) {
            auto& text = *static_cast<std::string*>(result);
            for (int i = 0; i < count; ++i)
                text += std::string(values[i] ? values[i] : "NULL") + (i + 1 < count ? "|" : ";");
            return 0;
        },
        &text, nullptr);
    sqlite3_close(db);
    return text;
}

LedgerEntry TitleEntry(const std::string& line, std::optional<int> slave, int channel, int position,
                       LedgerResult result)
{
    PadTitle(channel, position);
    const std::string frame = *MakeCommandFrame(*MakeTitleCommand(channel, position, paddedTitle),
                                                slave ? 1 : 0, slave.value_or(0));
    const CommandItem item = *NameCommandItem(frame, slave.has_value());
    return {line,       slave, item.item,
            item.value, frame, result,
            "",         false, std::chrono::system_clock::now()};
}
