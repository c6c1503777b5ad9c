#pragma once

#include "platform/Preview.h"

#include <vector>

constexpr int WhiteLevelPreviewWidth = 524;
constexpr int WhiteLevelPreviewHeight = 194;
constexpr const char* WhiteLevelCaptionPrefix = "ホワイトレベル設定";

// The 32 levels of a channel as the white level dialog shows them: "Picture01 = 8" and so on, in
// four columns of eight. A level the lists cannot hold shows as "?".
std::vector<PreviewLine> WhiteLevelPreviewLines(int channel);
