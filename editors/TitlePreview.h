#pragma once

#include "platform/Preview.h"

#include <vector>

constexpr int TitlePreviewWidth = 618;
constexpr int TitlePreviewHeight = 352;
constexpr const char* TitleCaptionPrefix = "タイトル設定";

// The 33 titles of a channel as the title dialog shows them: "TOP = ..." on top, below it
// "B01 = ..." to "B16 = ..." in the left column and "B17 = ..." to "B32 = ..." in the right.
std::vector<PreviewLine> TitlePreviewLines(int channel);
