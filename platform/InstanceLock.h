#pragma once

#include <string>

// Single-instance rule: an exclusive flock held for the whole run. The kernel drops it when the
// process ends, however it ends, so a killed copy never blocks the next start.
class InstanceLock
{
public:
    InstanceLock() = default;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

    // False only when another process holds the lock. Without a private folder for the lock file
    // the start goes on without the rule, with a note on standard error.
    bool acquire();
    void release();

    // In $XDG_RUNTIME_DIR when that is this user's private folder, else in a private folder of
    // this user's under $TMPDIR or /tmp; empty when neither can be had.
    static std::string lockFilePath();

private:
    int lockFd = -1;
};
