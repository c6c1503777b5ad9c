#include "platform/PlatformVersion.h"

PlatformVersion CurrentPlatformVersion()
{
    return {};
}

int OsClass(PlatformVersion version)
{
    switch (version.major) {
    case 4:
        if (version.minor == 0)
            return 0;
        return version.minor == 10 ? 1 : 2;
    case 5:
        return version.minor == 1 ? 4 : 3;
    case 6:
        return 5;
    default:
        return 4;
    }
}
