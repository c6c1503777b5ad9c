#pragma once

struct PlatformVersion
{
    int major = 0;
    int minor = 0;
};

// The Windows version the window geometry was tuned for; on Linux there is none, so the major
// version is 0, which counts as "any other major".
PlatformVersion CurrentPlatformVersion();

// Classifies a Windows version as the main frame's geometry needs it.
int OsClass(PlatformVersion version);
