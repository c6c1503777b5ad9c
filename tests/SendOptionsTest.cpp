#include "send/SendOptions.h"
#include "send/RunSender.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <sstream>

namespace {

QStringList command(const QStringList& arguments)
{
    return QStringList{"mrv508-send"} + arguments;
}

struct BadCase
{
    const char* name;
    QStringList arguments;
    const char* error;
};

void PrintTo(const BadCase& c, std::ostream* out)
{
    *out << c.name;
}

class BadArgumentsTest : public testing::TestWithParam<BadCase>
{
};

} // namespace

TEST(SendOptionsTest, ReadsEveryOption)
{
    std::string error;
    const auto options =
        SendOptions::parse(command({"f.dat", "--port", "com4", "--rs485", "--slaves", "0,3,12",
                                    "--only", "levels,offsets", "--pictures", "5,32", "--pace", "0",
                                    "--timeout", "150", "--dry-run"}),
                           error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->file, "f.dat");
    EXPECT_EQ(options->comPort, 3);
    EXPECT_EQ(options->slaves, (std::vector<int>{0, 3, 12}));
    EXPECT_FALSE(options->titles);
    EXPECT_TRUE(options->levels && options->offsets);
    EXPECT_EQ(options->pictures[0], 4);
    EXPECT_EQ(options->pictures[1], 31);
    EXPECT_EQ(options->paceMs, 0);
    EXPECT_EQ(options->timeoutMs, 150);
    EXPECT_TRUE(options->dryRun);
}

TEST(SendOptionsTest, DefaultsAndASlaveRange)
{
    std::string error;
    const auto plain = SendOptions::parse(command({"f.dat"}), error);
    ASSERT_TRUE(plain) << error;
    EXPECT_EQ(plain->comPort, -1);
    EXPECT_FALSE(plain->rs485());
    EXPECT_TRUE(plain->titles && plain->levels && plain->offsets);
    EXPECT_FALSE(plain->pictures[0] || plain->pictures[1]);
    EXPECT_EQ(plain->paceMs, 600);
    EXPECT_EQ(plain->timeoutMs, 2000);

    const auto range = SendOptions::parse(command({"f.dat", "--rs485", "--slaves", "5-7"}), error);
    ASSERT_TRUE(range) << error;
    EXPECT_EQ(range->slaves, (std::vector<int>{5, 6, 7}));
    const auto slave0 = SendOptions::parse(command({"--device", "/dev/x", "--rs485", "f"}), error);
    ASSERT_TRUE(slave0) << error;
    EXPECT_EQ(slave0->slaves, std::vector<int>{0});
    EXPECT_EQ(slave0->device, "/dev/x");
}

TEST_P(BadArgumentsTest, ExitWithStatus2AndSayWhy)
{
    std::ostringstream out, err;
    EXPECT_EQ(RunSender(command(GetParam().arguments), out, err), SendBadInput);
    EXPECT_NE(err.str().find(GetParam().error), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, BadArgumentsTest,
    testing::Values(
        BadCase{"NoFile", {}, "exactly one settings file"},
        BadCase{"TwoFiles", {"a.dat", "b.dat"}, "exactly one settings file"},
        BadCase{"UnknownOption", {"a.dat", "--speed", "9600"}, "speed"},
        BadCase{"Com7", {"a.dat", "--port", "COM7"}, "COM1 to COM6"},
        BadCase{"PortAndDevice", {"a.dat", "--port", "COM1", "--device", "/dev/x"}, "exclude"},
        BadCase{"SlavesWithoutRs485", {"a.dat", "--slaves", "1"}, "needs --rs485"},
        BadCase{"Slave32", {"a.dat", "--rs485", "--slaves", "0,32"}, "distinct numbers"},
        BadCase{"SlaveTwice", {"a.dat", "--rs485", "--slaves", "3,3"}, "distinct numbers"},
        BadCase{"BackwardRange", {"a.dat", "--rs485", "--slaves", "7-5"}, "distinct numbers"},
        BadCase{"UnknownPart", {"a.dat", "--only", "titles,names"}, "--only takes"},
        BadCase{"OnePicture", {"a.dat", "--pictures", "5"}, "--pictures needs"},
        BadCase{"Picture33", {"a.dat", "--pictures", "5,33"}, "--pictures needs"},
        BadCase{"NegativePace", {"a.dat", "--pace", "-1"}, "--pace needs"},
        BadCase{"ZeroTimeout", {"a.dat", "--timeout", "0"}, "--timeout"},
        BadCase{"MissingFile", {"/nonexistent/a.dat", "--dry-run"}, "cannot read"}),
    [](const auto& info) { return std::string(info.param.name); });
