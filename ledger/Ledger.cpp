#include "ledger/Ledger.h"

#include "platform/PrivateFolder.h"
#include "platform/StateFolder.h"

#include <QDateTime>
#include <QFile>
#include <cstdio>
#include <filesystem>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>

namespace {

// Long enough for any other writer's entry, which is one short transaction.
constexpr int BusyTimeoutMs = 10000;

// WAL lets readers and one writer work at once; NORMAL syncs at checkpoints only, so an entry
// survives the program being killed, and only a power cut may lose the last few.
constexpr const char* Schema = R"(
PRAGMA journal_mode = WAL;
PRAGMA synchronous = NORMAL;
CREATE TABLE IF NOT EXISTS entries (
    id INTEGER PRIMARY KEY,
    time INTEGER NOT NULL,
    program TEXT NOT NULL,
    device TEXT NOT NULL,
    slave INTEGER,
    item TEXT NOT NULL,
    value TEXT NOT NULL,
    frame TEXT NOT NULL,
    result TEXT NOT NULL CHECK (result IN ('accepted', 'rejected', 'not answered')),
    reply TEXT NOT NULL,
    late INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS entries_by_item ON entries (device, slave, item, id);
)";

constexpr const char* Insertion =
    "INSERT INTO entries (time, program, device, slave, item, value, frame, result, reply, late) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

// Each item's last accepted entry, and whether a line to it went unanswered since.
constexpr const char* HeldQuery = R"(
SELECT a.item, a.value, a.frame, a.time, a.program,
       EXISTS (SELECT 1 FROM entries l WHERE l.device = a.device AND l.slave IS a.slave
               AND l.item = a.item AND l.id > a.id AND l.result = 'not answered')
FROM entries a
WHERE a.id IN (SELECT max(id) FROM entries WHERE device = ?1 AND slave IS ?2
               AND result = 'accepted' GROUP BY item)
)";

constexpr const char* SlavesQuery =
    "SELECT DISTINCT slave FROM entries WHERE device = ?1 AND slave IS NOT NULL ORDER BY slave";

const char* resultName(LedgerResult result)
{
    switch (result) {
    case LedgerResult::Accepted:
        return "accepted";
    case LedgerResult::Rejected:
        return "rejected";
    case LedgerResult::NotAnswered:
        break;
    }
    return "not answered";
}

// A file that is no ledger, or one this user cannot open for writing, is set aside; a busy, full
// or failing disk is not the ledger's fault.
bool unusable(int code)
{
    switch (code & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return true;
    default:
        return false;
    }
}

ino_t inodeOf(const std::string& path)
{
    struct stat status = {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

long long milliseconds(std::chrono::system_clock::time_point time)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

void bindText(sqlite3_stmt* statement, int index, const std::string& text)
{
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

std::string column(sqlite3_stmt* statement, int index)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
    return text ? text : "";
}

} // namespace

Ledger::Ledger(std::string path, std::string program, std::ostream& problems)
    : path(std::move(path)), program(std::move(program)), problems(problems)
{
    std::lock_guard guard(lock);
    if (!MakePrivateFolder(std::filesystem::path(this->path).parent_path())) {
        complain("the ledger " + this->path + " cannot be used: its folder cannot be made; " +
                 "nothing is recorded");
        return;
    }
    const int code = open();
    if (code == SQLITE_OK)
        return;
    const std::string why = error();
    close();
    if (!unusable(code))
        complain("the ledger " + this->path + " cannot be used (" + why + "); nothing is recorded");
    else
        renew(why);
}

Ledger::~Ledger()
{
    close();
}

bool Ledger::isOpen() const
{
    std::lock_guard guard(lock);
    return db != nullptr;
}

void Ledger::record(const LedgerEntry& entry)
{
    std::lock_guard guard(lock);
    if (!db)
        return;
    int code = insert(entry);
    if (code != SQLITE_DONE && unusable(code) && renew(error()))
        code = insert(entry);
    if (code != SQLITE_DONE && db)
        complain("the ledger " + path + " takes no entry (" + error() + ")");
}

std::map<std::string, HeldItem> Ledger::held(const std::string& device, std::optional<int> slave)
{
    std::lock_guard guard(lock);
    std::map<std::string, HeldItem> items;
    each(HeldQuery, device, slave, [&items](sqlite3_stmt* row) {
        const std::chrono::milliseconds ms(sqlite3_column_int64(row, 3));
        items[column(row, 0)] = {column(row, 1), column(row, 2),
                                 std::chrono::system_clock::time_point(ms), column(row, 4),
                                 sqlite3_column_int(row, 5) != 0};
    });
    return items;
}

std::vector<int> Ledger::slaves(const std::string& device)
{
    std::lock_guard guard(lock);
    std::vector<int> slaves;
    each(SlavesQuery, device, std::nullopt,
         [&slaves](sqlite3_stmt* row) { slaves.push_back(sqlite3_column_int(row, 0)); });
    return slaves;
}

template <typename Row>
void Ledger::each(const char* query, const std::string& device, std::optional<int> slave, Row row)
{
    sqlite3_stmt* statement = nullptr;
    if (!db || sqlite3_prepare_v2(db, query, -1, &statement, nullptr) != SQLITE_OK) {
        if (db)
            complain("the ledger " + path + " cannot be read (" + error() + ")");
        return;
    }
    bindText(statement, 1, device);
    if (slave)
        sqlite3_bind_int(statement, 2, *slave);
    int code = SQLITE_ROW;
    while ((code = sqlite3_step(statement)) == SQLITE_ROW)
        row(statement);
    if (code != SQLITE_DONE)
        complain("the ledger " + path + " cannot be read (" + error() + ")");
    sqlite3_finalize(statement);
}

std::string Ledger::DefaultPath()
{
    return QFile::encodeName(StateFolder() + QStringLiteral("/ledger.sqlite")).toStdString();
}

int Ledger::open()
{
    int code = sqlite3_open_v2(path.c_str(), &db,
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                               nullptr);
    opened = inodeOf(path);
    if (code == SQLITE_OK) {
        sqlite3_busy_timeout(db, BusyTimeoutMs);
        code = schema();
    }
    if (code == SQLITE_OK)
        code =
            sqlite3_prepare_v3(db, Insertion, -1, SQLITE_PREPARE_PERSISTENT, &insertion, nullptr);
    return code;
}

int Ledger::schema()
{
    // Turning a new file to WAL while another program does the same is refused at once rather
    // than waited for: it is tried again.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(BusyTimeoutMs);
    int code = sqlite3_exec(db, Schema, nullptr, nullptr, nullptr);
    while (code == SQLITE_BUSY && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        code = sqlite3_exec(db, Schema, nullptr, nullptr, nullptr);
    }
    return code;
}

void Ledger::close()
{
    sqlite3_finalize(insertion);
    insertion = nullptr;
    sqlite3_close(db);
    db = nullptr;
}

int Ledger::insert(const LedgerEntry& entry)
{
    sqlite3_reset(insertion);
    sqlite3_bind_int64(insertion, 1, milliseconds(entry.time));
    bindText(insertion, 2, program);
    bindText(insertion, 3, entry.device);
    if (entry.slave)
        sqlite3_bind_int(insertion, 4, *entry.slave);
    else
        sqlite3_bind_null(insertion, 4);
    bindText(insertion, 5, entry.item);
    bindText(insertion, 6, entry.value);
    bindText(insertion, 7, entry.frame);
    bindText(insertion, 8, resultName(entry.result));
    bindText(insertion, 9, entry.reply);
    sqlite3_bind_int(insertion, 10, entry.late ? 1 : 0);
    return sqlite3_step(insertion);
}

bool Ledger::renew(const std::string& why)
{
    close();
    const std::string said = "the ledger " + path + " cannot be used (" + why + ")";
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const std::string aside = (std::filesystem::path(path).parent_path() /
                               ("ledger-damaged-" + stamp.toStdString() + ".sqlite"))
                                  .string();
    // Another program may have set it aside already and started a new one: that one stays.
    if (inodeOf(path) == opened) {
        // QFile::rename never replaces an existing file.
        if (!QFile::rename(QFile::decodeName(path.c_str()), QFile::decodeName(aside.c_str()))) {
            complain(said + " and cannot be set aside; nothing is recorded");
            return false;
        }
        std::rename((path + "-wal").c_str(), (aside + "-wal").c_str());
        std::remove((path + "-shm").c_str());
    }
    if (open() != SQLITE_OK) {
        complain(said + "; it is kept as " + aside + ", and a new one cannot be started (" +
                 error() + "); nothing is recorded");
        close();
        return false;
    }
    complain(said + "; it is kept as " + aside + " and a new one is started");
    return true;
}

void Ledger::complain(const std::string& text)
{
    if (complained)
        return;
    complained = true;
    problems << program << ": " << text << std::endl;
}

std::string Ledger::error() const
{
    return db ? sqlite3_errmsg(db) : "out of memory";
}
