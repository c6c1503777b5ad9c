#include "link/SystemConsole.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string_view>

namespace {

std::optional<std::string> givenConsoles;

std::string activeConsoles()
{
    if (givenConsoles)
        return *givenConsoles;
    std::ifstream active("/sys/class/tty/console/active");
    return {std::istreambuf_iterator<char>(active), {}};
}

// /dev/tty0 to /dev/tty63, spelt as the kernel names them.
bool isVirtualConsole(std::string_view path)
{
    constexpr std::string_view Prefix = "/dev/tty";
    constexpr unsigned Count = 64;
    if (!path.starts_with(Prefix))
        return false;
    const std::string_view number = path.substr(Prefix.size());
    unsigned value = Count;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value < Count && std::to_string(value) == number;
}

bool isConsoleName(const std::string& path)
{
    return path == "/dev/tty" || path == "/dev/console" || isVirtualConsole(path);
}

} // namespace

std::vector<std::string> SystemConsoles()
{
    std::istringstream names(activeConsoles());
    std::vector<std::string> paths;
    for (std::string name; names >> name;)
        paths.push_back("/dev/" + name);
    return paths;
}

void SetActiveConsoles(std::optional<std::string> names)
{
    givenConsoles = std::move(names);
}

bool IsSystemConsole(const std::string& path, const std::vector<std::string>& consoles)
{
    // The name as given counts too: a container's /dev/console may lead to a pseudo-terminal.
    const std::string target = ResolvedDevicePath(path);
    if (isConsoleName(std::filesystem::path(path).lexically_normal().string()) ||
        isConsoleName(target))
        return true;
    return std::any_of(consoles.begin(), consoles.end(), [&target](const std::string& console) {
        return ResolvedDevicePath(console) == target;
    });
}

std::string ResolvedDevicePath(const std::string& path)
{
    namespace fs = std::filesystem;
    constexpr int MostLinks = 40; // the kernel's own limit
    fs::path current(path);
    for (int hops = 0; hops < MostLinks; ++hops) {
        std::error_code error;
        if (const fs::path target = fs::canonical(current, error); !error)
            return target.string();
        // A link to a node that does not exist here is followed by hand.
        const fs::path next = fs::read_symlink(current, error);
        if (error)
            break;
        current = current.parent_path() / next;
    }
    return current.lexically_normal().string();
}
