#include "sim/SimStateJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {

QJsonObject parsed(const std::string& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return document.object();
}

TEST(SimStateJson, Rs232cStateHasOneDeviceWithDefaults)
{
    const QJsonObject state = parsed(simStateJson(SimLine({})));
    EXPECT_EQ(state["mode"].toString(), "rs232c");
    EXPECT_EQ(state["frames"].toInt(-1), 0);
    const QJsonArray devices = state["devices"].toArray();
    ASSERT_EQ(devices.size(), 1);
    EXPECT_TRUE(devices[0].toObject()["slave"].isNull());
    const QJsonArray channels = devices[0].toObject()["channels"].toArray();
    ASSERT_EQ(channels.size(), 2);
    for (const auto& value : channels) {
        const QJsonObject channel = value.toObject();
        const QJsonArray titles = channel["titles"].toArray();
        ASSERT_EQ(titles.size(), 33);
        for (const auto& title : titles)
            EXPECT_EQ(title.toString("missing"), "");
        const QJsonArray levels = channel["whiteLevels"].toArray();
        ASSERT_EQ(levels.size(), 32);
        for (const auto& level : levels)
            EXPECT_EQ(level.toInt(), 8);
        EXPECT_EQ(channel["vOffset"].toInt(), 32);
        EXPECT_EQ(channel["hOffset"].toInt(), 8);
        EXPECT_EQ(channel["picture"].toInt(), 1);
    }
}

TEST(SimStateJson, Rs485StateShowsEverySlaveAndWhatItWasSent)
{
    SimLine line({0, 3});
    std::string padding;
    for (int i = 0; i < 12; ++i)
        padding += "2121";
    line.receive("03CA02TOP34413B7A" + padding +
                 "\r\n03WL02329\r\n03VER0200\r\n03HOR0215\r\n"
                 "03P0232\r\n07P0101\r\n");

    const QJsonObject state = parsed(simStateJson(line));
    EXPECT_EQ(state["mode"].toString(), "rs485");
    EXPECT_EQ(state["frames"].toInt(), 6);
    const QJsonArray devices = state["devices"].toArray();
    ASSERT_EQ(devices.size(), 2);
    EXPECT_EQ(devices[0].toObject()["slave"].toInt(-1), 0);
    EXPECT_EQ(devices[1].toObject()["slave"].toInt(-1), 3);

    const QJsonObject second = devices[1].toObject()["channels"].toArray()[1].toObject();
    EXPECT_EQ(second["titles"].toArray()[32].toString(), QString::fromUtf8("漢字"));
    EXPECT_EQ(second["whiteLevels"].toArray()[31].toInt(), 9);
    EXPECT_EQ(second["vOffset"].toInt(-1), 0);
    EXPECT_EQ(second["hOffset"].toInt(), 15);
    EXPECT_EQ(second["picture"].toInt(), 32);
    const QJsonObject untouched = devices[0].toObject()["channels"].toArray()[1].toObject();
    EXPECT_EQ(untouched["titles"].toArray()[32].toString("missing"), "");
    EXPECT_EQ(untouched["picture"].toInt(), 1);
}

class SimStateFile : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("sim-state-" + std::to_string(::getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::filesystem::path m_dir;
};

TEST_F(SimStateFile, ReplacesTheFileAndLeavesNoTemporaryBehind)
{
    const std::string path = m_dir / "state.json";
    ASSERT_TRUE(writeFileAtomically(path, "first"));
    ASSERT_TRUE(writeFileAtomically(path, "second\n"));
    std::ifstream file(path);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_EQ(content.str(), "second\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), {}), 1);
}

TEST_F(SimStateFile, FailsInAMissingDirectory)
{
    EXPECT_FALSE(writeFileAtomically(m_dir / "missing" / "state.json", "text"));
}

} // namespace
