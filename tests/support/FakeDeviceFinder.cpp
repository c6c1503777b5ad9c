#include "support/FakeDeviceFinder.h"

FakeDeviceFinder& FakeDeviceFinder::installed()
{
    static FakeDeviceFinder finder;
    return finder;
}
