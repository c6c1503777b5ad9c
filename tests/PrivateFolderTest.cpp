#include "platform/PrivateFolder.h"

#include "platform/Profile.h"
#include "settings/RecoveryFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

// The folders the tool makes for its profile and recovery file, and that file, are the user's
// alone, even where an older recovery file was not; a folder that was there keeps its mode.
TEST(PrivateFolderTest, WhatTheToolKeepsIsTheUsersAlone)
{
    QTemporaryDir home;
    chmod(home.path().toLocal8Bit(), 0755);
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
    qputenv("XDG_STATE_HOME", home.filePath("state").toLocal8Bit());
    WriteProfileInt("com_port", 1);
    ASSERT_TRUE(WriteRecoveryFile());
    chmod(RecoveryFilePath().c_str(), 0644);
    ASSERT_TRUE(WriteRecoveryFile());
    const std::pair<const char*, mode_t> modes[] = {
        {"", 0755},      {"config", 0700},       {"config/mrv508", 0700},
        {"state", 0700}, {"state/mrv508", 0700}, {"state/mrv508/recovery.dat", 0600}};
    for (const auto& [name, mode] : modes) {
        struct stat status = {};
        EXPECT_EQ(stat(home.filePath(name).toLocal8Bit(), &status), 0) << name;
        EXPECT_EQ(status.st_mode & 07777, mode) << name;
    }
}
