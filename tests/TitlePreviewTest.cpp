#include "editors/TitlePreview.h"
#include "settings/DeviceSettings.h"

#include <gtest/gtest.h>

TEST(TitlePreviewTest, TopAboveTwoColumnsOfSixteenBottomLines)
{
    ResetSettings();
    DeviceSettings.title[1][32] = "\x8A\xBF";
    DeviceSettings.title[1][16] = "\x82\xA0";
    const std::vector<PreviewLine> lines = TitlePreviewLines(1);
    ASSERT_EQ(lines.size(), 33u);
    EXPECT_EQ(lines[0], (PreviewLine{20, 6, "TOP = \x8A\xBF"}));
    EXPECT_EQ(lines[1], (PreviewLine{20, 26, "B01 = "}));
    EXPECT_EQ(lines[16], (PreviewLine{20, 326, "B16 = "}));
    EXPECT_EQ(lines[17], (PreviewLine{320, 26, "B17 = \x82\xA0"}));
    EXPECT_EQ(lines[32], (PreviewLine{320, 326, "B32 = "}));
    EXPECT_EQ(PreviewCaption(TitleCaptionPrefix, 0), "タイトル設定 チャンネル１");
    EXPECT_EQ(PreviewCaption(TitleCaptionPrefix, 1), "タイトル設定 チャンネル２");
}
