#include "platform/SafeFile.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <system_error>

namespace {

std::string Failure(const std::string& what, int error)
{
    return what + ": " + std::generic_category().message(error);
}

// A symbolic link stays one: what it points at is written.
std::string Resolved(const std::string& path)
{
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr)
        return path;
    std::string resolved = real;
    std::free(real);
    return resolved;
}

// Every byte, however many calls the kernel takes for them.
bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Writes into the open file, cuts it to its new length and has the disk confirm it: the failure,
// or nothing.
std::string Fill(int fd, std::string_view bytes, std::optional<mode_t> mode, SyncCall sync)
{
    if (mode && ::fchmod(fd, *mode) != 0)
        return Failure("its mode cannot be set", errno);
    if (!WriteAll(fd, bytes) || ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0)
        return Failure("writing failed", errno);
    if (sync(fd) != 0)
        return Failure("the disk did not confirm the new content", errno);
    return {};
}

// Closes `fd`; its failure counts where nothing failed before.
std::string Closed(int fd, std::string failure)
{
    if (::close(fd) != 0 && failure.empty())
        return Failure("closing failed", errno);
    return failure;
}

std::string WriteInPlace(const std::string& path, std::string_view bytes,
                         std::optional<mode_t> mode, SyncCall sync)
{
    // Read as well: where the file system reserves no space itself, the C library reads the file
    // to find what is not reserved yet.
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return Failure("it cannot be opened for writing", errno);
    // Before the first byte changes, so that a full disk leaves the old content whole.
    const int reserved =
        bytes.empty() ? 0 : ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
    if (reserved != 0)
        return Closed(fd, Failure("no room for the new content, the file is unchanged", reserved));
    return Closed(fd, Fill(fd, bytes, mode, sync));
}

// A new file beside `path` under a name nobody uses, open for writing; -1 (errno set) when none
// can be made.
int CreateBeside(const std::string& path, std::string& name)
{
    const size_t start = path.rfind('/') + 1;
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::array<char, 9> hex = {};
        std::to_chars(hex.data(), hex.data() + 8, random(), 16);
        name = path.substr(0, start) + '.' + path.substr(start) + '.' + hex.data();
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// A renamed file's new name is on disk only once its folder is.
std::string SyncFolder(const std::string& path, SyncCall sync)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return Failure("its folder cannot be opened to confirm the new name", errno);
    return Closed(fd, sync(fd) == 0 ? "" : Failure("the disk did not confirm the new name", errno));
}

} // namespace

WriteResult WriteFileSafely(const std::string& path, std::string_view bytes,
                            std::optional<mode_t> mode, SyncCall sync)
{
    if (path.empty() || path.ends_with('/'))
        return {"no file name"};
    const std::string target = Resolved(path);
    struct stat old = {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return {Failure("it cannot be looked at", errno)};
    if (exists && !S_ISREG(old.st_mode))
        return {"it is no regular file"};
    // A read-only file is meant to stay as it is, though a rename would replace it.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        return {Failure("it may not be written", errno)};
    if (exists && old.st_nlink > 1)
        return {WriteInPlace(target, bytes, mode, sync)};
    std::string name;
    const int fd = CreateBeside(target, name);
    if (fd < 0 && errno == EACCES && exists)
        return {WriteInPlace(target, bytes, mode, sync)};
    if (fd < 0)
        return {Failure("no new file can be made beside it", errno)};
    std::optional<mode_t> newMode = mode;
    if (!newMode && exists)
        newMode = old.st_mode & 07777;
    std::string failure = Closed(fd, Fill(fd, bytes, newMode, sync));
    if (failure.empty() && ::rename(name.c_str(), target.c_str()) != 0)
        failure = Failure("the new file cannot take its place", errno);
    if (!failure.empty()) {
        ::unlink(name.c_str());
        return {failure};
    }
    return {SyncFolder(target, sync)};
}
