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

    // False only when another process holds the lock. A lock file that cannot be made at all
    // goes unnoticed and the start goes on.
    bool acquire();
    void release();

    static std::string lockFilePath();

private:
    int lockFd = -1;
};
