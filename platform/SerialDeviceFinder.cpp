#include "platform/SerialDeviceFinder.h"

#include "platform/SystemDeviceFinder.h"

namespace {
const SerialDeviceFinder* installedFinder = nullptr;
}

const SerialDeviceFinder& DeviceFinder()
{
    static const SystemDeviceFinder system;
    return installedFinder ? *installedFinder : system;
}

void SetDeviceFinder(const SerialDeviceFinder* finder)
{
    installedFinder = finder;
}
