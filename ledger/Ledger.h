#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <sys/types.h>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

enum class LedgerResult { Accepted, Rejected, NotAnswered };

// One command line sent to one device and what became of it.
struct LedgerEntry
{
    std::string device;       // the line: its /dev/serial/by-id name, else its path
    std::optional<int> slave; // on RS-485
    std::string item;
    std::string value;
    std::string frame;
    LedgerResult result = LedgerResult::Accepted;
    std::string reply; // as the device sent it, without the slave number and line end
    bool late = false; // the reply came after the line had been counted as not answered
    std::chrono::system_clock::time_point time;
};

// An item's last acknowledged value on one device.
struct HeldItem
{
    std::string value;
    std::string frame;
    std::chrono::system_clock::time_point time;
    std::string program;
    // A later line to the item went unanswered: the device may hold that line's value instead.
    bool unsure = false;
};

// What this computer sent each device and what the device answered, kept in SQLite: the device
// cannot be asked what it holds, so what it acknowledged is the only record. Every entry stays;
// what a device holds is each item's last acknowledged value. Several programs may write at once:
// each entry is one short transaction, and a writer waits for another rather than fail.
// Safe to share between threads.
class Ledger
{
public:
    // Opens the ledger at `path`, making it and a private folder for it where missing. One that
    // cannot be opened or is damaged is renamed aside with a time stamp and a new one started.
    // The first problem goes to `problems` as "program: ..."; later ones are kept quiet, and
    // entries that cannot be written are lost without stopping the caller.
    Ledger(std::string path, std::string program, std::ostream& problems);
    ~Ledger();
    Ledger(const Ledger&) = delete;
    Ledger& operator=(const Ledger&) = delete;

    bool isOpen() const;
    void record(const LedgerEntry& entry);
    // Every item the device acknowledged, by item.
    std::map<std::string, HeldItem> held(const std::string& device, std::optional<int> slave);
    // The RS-485 slaves that have entries on the line, in order.
    std::vector<int> slaves(const std::string& device);

    // $XDG_STATE_HOME/mrv508/ledger.sqlite
    static std::string DefaultPath();

private:
    int open();
    int schema();
    void close();
    int insert(const LedgerEntry& entry);
    // Sets a damaged ledger aside and starts a new one; false when that fails too.
    bool renew(const std::string& why);
    void complain(const std::string& text);
    std::string error() const;
    // Calls `row` with each row of `query`, the device bound to ?1 and the slave to ?2; a
    // ledger that cannot be read is said once and reads as empty.
    template <typename Row>
    void each(const char* query, const std::string& device, std::optional<int> slave, Row row);

    std::string path;
    std::string program;
    std::ostream& problems;
    mutable std::mutex lock;
    sqlite3* db = nullptr;
    sqlite3_stmt* insertion = nullptr;
    ino_t opened = 0; // the file this ledger opened, which another program may have set aside
    bool complained = false;
};
