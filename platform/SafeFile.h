#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <unistd.h>

// How a write ended: no failure when every byte is on disk, else why not, in words that can
// follow "cannot write FILE: ".
struct WriteResult
{
    std::string failure;

    explicit operator bool() const { return failure.empty(); }
};

// Asks the disk to confirm what a file or folder holds, as fsync(2) does.
using SyncCall = int (*)(int fd);

// Writes `bytes` to `path` so that a write that fails leaves the old file as it was and says so.
// The bytes go to a new file beside `path`, which is synced and renamed over it; then the folder
// is synced. A file with more names than one, or in a folder that takes no new file, is written
// in place, so that every name keeps showing one file: its new size is reserved first, so that a
// full disk fails before the old content is touched. `mode` is the file's mode; without it an
// existing file keeps its own and a new one gets 0666 less the umask. `sync` is for tests.
WriteResult WriteFileSafely(const std::string& path, std::string_view bytes,
                            std::optional<mode_t> mode = std::nullopt, SyncCall sync = ::fsync);
