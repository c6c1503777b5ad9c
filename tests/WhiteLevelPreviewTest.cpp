#include "editors/WhiteLevelPreview.h"
#include "settings/DeviceSettings.h"

#include <gtest/gtest.h>

TEST(WhiteLevelPreviewTest, FourColumnsOfEightPicturesAndAQuestionMarkForADamagedLevel)
{
    ResetSettings();
    DeviceSettings.whiteLevel[1][7] = -1;
    DeviceSettings.whiteLevel[1][31] = 10;
    const std::vector<PreviewLine> lines = WhiteLevelPreviewLines(1);
    ASSERT_EQ(lines.size(), 32u);
    EXPECT_EQ(lines[0], (PreviewLine{20, 6, "Picture01 = 8"}));
    EXPECT_EQ(lines[7], (PreviewLine{20, 167, "Picture08 = ?"}));
    EXPECT_EQ(lines[8], (PreviewLine{150, 6, "Picture09 = 8"}));
    EXPECT_EQ(lines[16], (PreviewLine{280, 6, "Picture17 = 8"}));
    EXPECT_EQ(lines[31], (PreviewLine{410, 167, "Picture32 = ?"}));
}
