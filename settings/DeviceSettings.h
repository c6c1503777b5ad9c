#pragma once

#include <atomic>
#include <mutex>
#include <string>

constexpr int ChannelCount = 2;
constexpr int TitleCount = 33; // Bottom 1..32, then Top
constexpr int PictureCount = 32;
constexpr int SlaveCount = 32;
// The device's ranges: the editors list them, the commands and the strict file reader keep to them.
constexpr int VerticalOffsetCount = 64;   // "VER" offsets 0..63
constexpr int HorizontalOffsetCount = 16; // "HOR" offsets 0..15
constexpr int WhiteLevelCount = 10;       // levels 0..9
constexpr int TitleBytes = 28;            // 14 full-width characters

// Everything the tool knows about the devices, its editing state and the link flags. Fields the
// reader thread shares with the window thread are atomic; awaitingReply and noReplyTicks change
// together under replyFlagsLock so that a reply arriving during a supervision tick always wins.
struct DeviceSettingsRecord
{
    std::string title[ChannelCount][TitleCount];
    int whiteLevel[ChannelCount][PictureCount] = {};
    int pictureNo[ChannelCount] = {};
    int hOffset[ChannelCount] = {};
    int vOffset[ChannelCount] = {};

    int curWhitePicture = 0;
    int curPosition = 0;
    int imeOpenStatus = 0;
    int curChannel = 0;
    int slaveNo = 0;

    std::atomic<int> rsControl = 0;
    int comPort = 0;

    std::atomic<int> replyError = 0;
    std::atomic<int> allSetStep = 0;
    std::atomic<int> awaitingReply = 0;
    std::atomic<int> noReplyTicks = 0;
    std::mutex replyFlagsLock;
    int replyPos = 0; // reader thread only; survives a reader restart

    int modified = 0;
};

extern DeviceSettingsRecord DeviceSettings;

// The settings file that Save writes: set by Open and Save As, kept by New.
extern std::string currentFileName;

void ResetSettings();

// A title position as the title dialog lists it: "Bottom 1" .. "Bottom 9", "Bottom10" ..
// "Bottom32", "Top".
std::string TitlePositionName(int position);
