#include "link/LockHolder.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// A lock table line: "1: FLOCK  ADVISORY  WRITE 1234 00:19:7 0 EOF". Lines of programs waiting
// for a lock have "->" after the number and are not holders.
int holderPid(const std::string& line, const std::string& fileId)
{
    std::istringstream fields(line);
    std::string number, kind, mode, access, file;
    int pid = 0;
    if (!(fields >> number >> kind) || kind != "FLOCK")
        return 0;
    if (!(fields >> mode >> access >> pid >> file) || file != fileId)
        return 0;
    return pid;
}

std::string programName(int pid)
{
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return PrintableName(name);
}

bool isControl(std::string_view character)
{
    const auto first = static_cast<unsigned char>(character[0]);
    // U+0080 to U+009F are C2 80 to C2 9F; some terminals obey them as escape sequences.
    const bool c1 =
        character.size() == 2 && first == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0;
    return first < 0x20 || first == 0x7F || c1;
}

} // namespace

std::string LockHolder(const std::string& path)
{
    struct stat info = {};
    if (stat(path.c_str(), &info) != 0)
        return {};
    // The table names a file by its file system's device, in hex, and its inode.
    char fileId[64];
    std::snprintf(fileId, sizeof fileId, "%02x:%02x:%lu", major(info.st_dev), minor(info.st_dev),
                  static_cast<unsigned long>(info.st_ino));
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        const int pid = holderPid(line, fileId);
        if (pid <= 0)
            continue;
        const std::string name = programName(pid);
        return name.empty() ? std::string() : name + " (pid " + std::to_string(pid) + ")";
    }
    return {};
}

std::string PrintableName(std::string_view name)
{
    static constexpr char Hex[] = "0123456789abcdef";
    std::string shown;
    for (size_t pos = 0; pos < name.size();) {
        const size_t length = Utf8Length(name.substr(pos));
        const std::string_view character = name.substr(pos, std::max<size_t>(length, 1));
        pos += character.size();
        if (character == "\\") {
            shown += "\\\\";
        } else if (length > 0 && !isControl(character)) {
            shown += character;
        } else {
            for (const char c : character) {
                const auto byte = static_cast<unsigned char>(c);
                shown.append("\\x").append(1, Hex[byte >> 4]).append(1, Hex[byte & 0xF]);
            }
        }
    }
    return shown;
}
