#include "platform/PlatformVersion.h"
#include "app/CMainFrame.h"

#include <gtest/gtest.h>

struct OsClassCase
{
    PlatformVersion version;
    int osClass;
    int frameHeight;
};

class OsClassTest : public testing::TestWithParam<OsClassCase>
{
};

TEST_P(OsClassTest, ClassifiesTheVersionAndSizesTheFrame)
{
    const OsClassCase& c = GetParam();
    EXPECT_EQ(OsClass(c.version), c.osClass);
    EXPECT_EQ(CMainFrame::FrameHeight(OsClass(c.version)), c.frameHeight);
}

INSTANTIATE_TEST_SUITE_P(Versions, OsClassTest,
                         testing::Values(OsClassCase{{4, 0}, 0, 106}, OsClassCase{{4, 10}, 1, 106},
                                         OsClassCase{{4, 90}, 2, 106}, OsClassCase{{5, 0}, 3, 106},
                                         OsClassCase{{5, 1}, 4, 112}, OsClassCase{{5, 2}, 3, 106},
                                         OsClassCase{{6, 0}, 5, 112}, OsClassCase{{6, 3}, 5, 112},
                                         OsClassCase{{10, 0}, 4, 112},
                                         OsClassCase{{3, 51}, 4, 112}));

TEST(PlatformVersionTest, LinuxCountsAsAnyOtherMajorVersion)
{
    EXPECT_EQ(OsClass(CurrentPlatformVersion()), 4);
}
