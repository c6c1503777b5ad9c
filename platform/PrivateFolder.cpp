#include "platform/PrivateFolder.h"

#include <sys/stat.h>

bool MakePrivateFolder(const std::string& path)
{
    for (size_t end = path.find('/', 1); end != std::string::npos; end = path.find('/', end + 1))
        ::mkdir(path.substr(0, end).c_str(), S_IRWXU); // one that exists stays as it is
    ::mkdir(path.c_str(), S_IRWXU);
    struct stat status = {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}
