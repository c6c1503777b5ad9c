#include "platform/SafeFile.h"

#include "support/ChildProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/stat.h>

namespace {

// A write that cannot be done whole fails, says why, and leaves the old content byte for byte
// under every name of the file, with nothing left beside it. A full disk is a file size limit
// below the new content's size, past which a write fails (EFBIG) as on a full disk (ENOSPC).
struct Failure
{
    const char* name;
    bool fullDisk = false;
    SyncCall sync = ::fsync;
    bool hardLink = false;     // written in place
    bool lockedFolder = false; // written in place, by nobody
    const char* says = "";
};

using SafeFileTest = testing::TestWithParam<Failure>;

TEST_P(SafeFileTest, FailsLeavingTheOldContentWhole)
{
    const Failure& row = GetParam();
    const std::string old = "old content\r\n";
    QTemporaryDir folder;
    const std::string path = folder.filePath("a.dat").toStdString();
    std::ofstream(path) << old;
    chmod(path.c_str(), 0666);
    if (row.hardLink) {
        ASSERT_EQ(link(path.c_str(), folder.filePath("b.dat").toLocal8Bit()), 0);
    }
    chmod(folder.path().toLocal8Bit(), row.lockedFolder ? 0555 : 0755);
    const QStringList names = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    const auto write = [&] {
        const std::string failure =
            WriteFileSafely(path, std::string(8192, 'n'), {}, row.sync).failure;
        std::cerr << "the failure: " << failure << '\n';
        return failure.find(row.says) != std::string::npos;
    };
    const std::optional<bool> saysWhy = InChild(
        write, {row.lockedFolder, row.fullDisk ? std::optional<rlim_t>(4096) : std::nullopt});
    if (!saysWhy)
        GTEST_SKIP() << "cannot run a child as nobody";
    EXPECT_TRUE(*saysWhy) << row.says;
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), names);
    for (const QString& name : names) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.readAll().toStdString() == old);
    }
    chmod(folder.path().toLocal8Bit(), 0755);
}

int FailingSync(int /*fd*/)
{
    errno = EIO;
    return -1;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Writes, SafeFileTest, testing::Values(
    Failure{.name = "FullDiskBeside", .fullDisk = true, .says = "writing failed: File too large"},
    Failure{.name = "FailingSyncBeside", .sync = FailingSync,
            .says = "the disk did not confirm the new content: Input/output error"},
    Failure{.name = "FullDiskInPlaceForAHardLink", .fullDisk = true, .hardLink = true,
            .says = "no room for the new content, the file is unchanged: File too large"},
    Failure{.name = "FullDiskInPlaceInALockedFolder", .fullDisk = true, .lockedFolder = true,
            .says = "no room for the new content"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
