#include "sim/SimViewState.h"

#include <gtest/gtest.h>

namespace {

std::string titleFrame(const std::string& head, const std::string& codes)
{
    std::string frame = head + codes;
    while (frame.size() < head.size() + 56)
        frame += "2121";
    return frame + "\r\n";
}

// Feeds frames to the line and the state as the loop does.
void feed(SimLine& line, SimViewState& state, const std::string& bytes)
{
    for (const SimLine::Response& response : line.receive(bytes))
        state.update(line, response);
}

TEST(SimViewState, TitlesInTheDevicesOrderWithTheLastChangedLine)
{
    struct Case
    {
        std::string frame;
        int station, channel, row;
        const char* label;
        const char* text;
    };
    const Case cases[] = {
        {titleFrame("03CA02TOP", "34413B7A"), 1, 1, 0, "Top", "漢字"},
        {titleFrame("00CA01B01", "24222424"), 0, 0, 1, "Bottom 1", "あい"},
        {titleFrame("00CA01B09", "2422"), 0, 0, 9, "Bottom 9", "あ"},
        {titleFrame("00CA01B10", "2422"), 0, 0, 10, "Bottom10", "あ"},
        {titleFrame("00CA01B10", ""), 0, 0, 10, "Bottom10", ""},
        {titleFrame("00CA01B32", "2424"), 0, 0, 32, "Bottom32", "い"},
    };
    SimLine line({0, 3});
    SimViewState state(line);
    EXPECT_EQ(state.stationNames(), (std::vector<std::string>{"Slave 00", "Slave 03"}));
    for (const Case& c : cases) {
        feed(line, state, c.frame);
        const auto rows = state.titles(c.station, c.channel);
        ASSERT_EQ(rows.size(), 33u);
        EXPECT_EQ(rows[c.row].label, c.label);
        EXPECT_EQ(rows[c.row].text, c.text) << c.label;
        for (int row = 0; row < 33; ++row)
            EXPECT_EQ(rows[row].changed, row == c.row) << c.label << " row " << row;
        EXPECT_FALSE(state.titles(1 - c.station, c.channel)[c.row].changed);
        EXPECT_FALSE(state.titles(c.station, 1 - c.channel)[c.row].changed);
    }
    EXPECT_EQ(state.titles(1, 1)[0].text, "漢字");
    EXPECT_EQ(state.titles(0, 0)[1].text, "あい");
}

TEST(SimViewState, ValuesAndTheLogWithErrors)
{
    struct Case
    {
        std::string frame;
        bool error;
        SimCommand::Kind changedKind; // of the last frame a device took
        int changedPosition;
    };
    using Kind = SimCommand::Kind;
    const Case cases[] = {
        {"WL02057\r\n", false, Kind::WhiteLevel, 4},
        {"VER0263\r\n", false, Kind::VerticalOffset, 0},
        {"HOR0200\r\n", false, Kind::HorizontalOffset, 0},
        {"P0232\r\n", false, Kind::Picture, 0},
        {"P0299\r\n", true, Kind::Picture, 0},
        {"XYZ\r\n", true, Kind::Picture, 0},
    };
    SimLine line({});
    SimViewState state(line);
    EXPECT_EQ(state.stationNames(), std::vector<std::string>{"RS-232C"});
    for (const Case& c : cases) {
        feed(line, state, c.frame);
        EXPECT_EQ(state.log().back().error, c.error) << c.frame;
        EXPECT_TRUE(state.changed(0, 1, c.changedKind, c.changedPosition)) << c.frame;
        EXPECT_FALSE(state.changed(0, 0, c.changedKind, c.changedPosition)) << c.frame;
    }
    EXPECT_EQ(state.lastChange()->frame, 4);
    EXPECT_EQ(state.log().front().text, "WL02057\\r\\n  WL ch2 picture 5 level 7 -> GO");
    const SimDevice::Channel& channel = state.channel(0, 1);
    EXPECT_EQ(channel.whiteLevels[4], 7);
    EXPECT_EQ(channel.whiteLevels[5], 8);
    EXPECT_EQ(channel.vOffset, 63);
    EXPECT_EQ(channel.hOffset, 0);
    EXPECT_EQ(channel.picture, 32);
    EXPECT_EQ(state.channel(0, 0).picture, 1);

    for (std::size_t i = 0; i < SimViewState::LogLength; ++i)
        feed(line, state, "P0101\r\n");
    EXPECT_EQ(state.log().size(), SimViewState::LogLength);
    EXPECT_EQ(state.logged(), SimViewState::LogLength + std::size(cases));
    EXPECT_FALSE(state.log().front().error);
}

} // namespace
