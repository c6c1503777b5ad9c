// Runs the built simulator and talks to it over its pseudo-terminal, as the tool does.
#include "support/BuildPaths.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int StartTimeoutMs = 5000;
constexpr int ReplyTimeoutMs = 3000;

// Output of a process read from fd until it closes or until stop says enough.
std::string readUntil(int fd, int timeoutMs, char stop)
{
    std::string text;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (text.empty() || text.back() != stop) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd pfd{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&pfd, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[256];
        const ssize_t size = ::read(fd, buffer, sizeof buffer);
        if (size <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(size));
    }
    return text;
}

class SimProcess
{
public:
    explicit SimProcess(const std::vector<std::string>& args)
    {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        std::vector<std::string> all{SimulatorPath()};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& arg : all)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        m_stdout = out[0];
    }

    ~SimProcess()
    {
        if (m_pid > 0)
            stop(SIGKILL);
        if (m_stdout >= 0)
            ::close(m_stdout);
    }

    // The pseudo-terminal announced by the "PTY" line, empty if none came.
    std::string ptyPath()
    {
        const std::string line = readUntil(m_stdout, StartTimeoutMs, '\n');
        if (!line.starts_with("PTY ") || !line.ends_with('\n'))
            return {};
        return line.substr(4, line.size() - 5);
    }

    std::string output() { return readUntil(m_stdout, StartTimeoutMs, '\0'); }

    // The exit status once the process has ended, nothing if it still runs after timeoutMs.
    std::optional<int> exitStatus(int timeoutMs)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < deadline) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(10ms);
        }
        return std::nullopt;
    }

    std::optional<int> stop(int signal)
    {
        ::kill(m_pid, signal);
        return exitStatus(ReplyTimeoutMs);
    }

    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
};

int openPort(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios mode{};
    if (fd >= 0 && ::tcgetattr(fd, &mode) == 0) {
        ::cfmakeraw(&mode);
        ::tcsetattr(fd, TCSANOW, &mode);
    }
    return fd;
}

std::string transact(int fd, const std::string& frame, int timeoutMs = ReplyTimeoutMs)
{
    if (::write(fd, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size()))
        return "(write failed)";
    return readUntil(fd, timeoutMs, '\n');
}

class SimProcessTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() /
                ("sim-process-" + std::to_string(::getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }

    void TearDown() override
    {
        if (m_port >= 0)
            ::close(m_port);
        std::filesystem::remove_all(m_dir);
    }

    std::string path(const char* name) const { return m_dir / name; }

    // Starts the simulator with a link, a state file and a log, and opens the port.
    std::unique_ptr<SimProcess> start(std::vector<std::string> args)
    {
        args.insert(args.end(), {"--link", path("port"), "--state", path("state.json"), "--log",
                                 path("log.txt")});
        auto process = std::make_unique<SimProcess>(args);
        const std::string pty = process->ptyPath();
        EXPECT_FALSE(pty.empty());
        m_port = openPort(path("port"));
        EXPECT_GE(m_port, 0);
        return process;
    }

    QJsonObject state() const
    {
        QFile file(QString::fromStdString(path("state.json")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    QJsonObject channel(int device, int index) const
    {
        return state()["devices"]
            .toArray()[device]
            .toObject()["channels"]
            .toArray()[index]
            .toObject();
    }

    std::string log() const
    {
        std::ifstream file(path("log.txt"));
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::filesystem::path m_dir;
    int m_port = -1;
};

TEST_F(SimProcessTest, Rs232cAnswersOverThePtyAndKeepsTheState)
{
    auto sim = std::make_unique<SimProcess>(std::vector<std::string>{
        "--link", path("port"), "--state", path("state.json"), "--log", path("log.txt")});
    const std::string pty = sim->ptyPath();
    ASSERT_TRUE(pty.starts_with("/dev/pts/")) << pty;
    EXPECT_EQ(std::filesystem::read_symlink(path("port")), pty);
    EXPECT_EQ(state()["frames"].toInt(-1), 0);

    m_port = openPort(path("port"));
    ASSERT_GE(m_port, 0);
    EXPECT_EQ(transact(m_port, "P0105\r\n"), "GO\r\n");
    EXPECT_EQ(state()["mode"].toString(), "rs232c");
    EXPECT_EQ(state()["frames"].toInt(), 1);
    EXPECT_EQ(channel(0, 0)["picture"].toInt(), 5);
    EXPECT_EQ(channel(0, 1)["picture"].toInt(), 1);
    EXPECT_EQ(transact(m_port, "P0199\r\n"), "E3\r\n");
    EXPECT_NE(log().find("P0105\\r\\n  P ch1 picture 5 -> GO\n"), std::string::npos) << log();

    // Closing and reopening the port, as the tool does on a settings change, keeps the line.
    ::close(m_port);
    m_port = openPort(path("port"));
    ASSERT_GE(m_port, 0);
    EXPECT_EQ(transact(m_port, "CA02TOP34413B7A" + std::string(12, ' ') + "\r\n"), "E3\r\n");
    std::string padding;
    for (int i = 0; i < 12; ++i)
        padding += "2121";
    EXPECT_EQ(transact(m_port, "CA02TOP34413B7A" + padding + "\r\n"), "GO\r\n");
    EXPECT_EQ(channel(0, 1)["titles"].toArray()[32].toString(), QString::fromUtf8("漢字"));

    EXPECT_EQ(sim->stop(SIGTERM), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(path("port")));
}

TEST_F(SimProcessTest, Rs485OnlyTheAddressedSlaveAnswers)
{
    auto sim = start({"--rs485", "--slaves", "0,3"});
    EXPECT_EQ(transact(m_port, "03P0212\r\n"), "03GO\r\n");
    EXPECT_EQ(transact(m_port, "05P0101\r\n", 300), "");
    EXPECT_EQ(transact(m_port, "00P0103\r\n"), "00GO\r\n");
    EXPECT_EQ(state()["mode"].toString(), "rs485");
    EXPECT_EQ(state()["frames"].toInt(), 3);
    EXPECT_EQ(state()["devices"].toArray()[1].toObject()["slave"].toInt(), 3);
    EXPECT_EQ(channel(1, 1)["picture"].toInt(), 12);
    EXPECT_EQ(channel(0, 0)["picture"].toInt(), 3);
    EXPECT_EQ(sim->stop(SIGINT), 0);
}

TEST_F(SimProcessTest, WithTheViewOpenASignalStillEndsItCleanly)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    for (const int signal : {SIGTERM, SIGINT}) {
        auto sim = start({"--view"});
        EXPECT_EQ(transact(m_port, "P0105\r\n"), "GO\r\n");
        ::close(m_port);
        m_port = -1;
        EXPECT_EQ(sim->stop(signal), 0) << strsignal(signal);
        EXPECT_FALSE(std::filesystem::is_symlink(path("port")));
    }
}

TEST_F(SimProcessTest, TheViewWithoutADisplaySaysSoAndExitsTwo)
{
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    SimProcess sim({"--view", "--link", path("port")});
    EXPECT_EQ(sim.exitStatus(StartTimeoutMs), 2);
    EXPECT_FALSE(std::filesystem::exists(path("port")));
}

TEST_F(SimProcessTest, SplitReplyComesInTwoPieces)
{
    auto sim = start({"--rs485", "--slaves", "3", "--split", "300"});
    const std::string frame = "03P0105\r\n";
    ASSERT_EQ(::write(m_port, frame.data(), frame.size()), static_cast<ssize_t>(frame.size()));
    EXPECT_EQ(readUntil(m_port, ReplyTimeoutMs, '0'), "0");
    EXPECT_EQ(readUntil(m_port, ReplyTimeoutMs, '\n'), "3GO\r\n");
}

TEST_F(SimProcessTest, FaultsCombine)
{
    auto sim = start({"--delay", "300", "--reply", "MENU", "--error-on", "2"});
    const auto sent = Clock::now();
    EXPECT_EQ(transact(m_port, "P0105\r\n"), "MENU\r\n");
    EXPECT_GE(Clock::now() - sent, 250ms);
    EXPECT_EQ(transact(m_port, "P0106\r\n"), "E3\r\n");
    EXPECT_EQ(transact(m_port, "P0107\r\n"), "MENU\r\n");
    EXPECT_EQ(channel(0, 0)["picture"].toInt(), 1);
}

TEST_F(SimProcessTest, SilentDeviceTakesCommandsButNeverAnswers)
{
    auto sim = start({"--silent"});
    EXPECT_EQ(transact(m_port, "P0105\r\n", 300), "");
    EXPECT_EQ(channel(0, 0)["picture"].toInt(), 5);
}

TEST_F(SimProcessTest, HangUpLooksLikeAnUnpluggedCable)
{
    auto sim = start({"--hangup-after", "1"});
    EXPECT_EQ(transact(m_port, "P0105\r\n"), "GO\r\n");
    EXPECT_EQ(sim->exitStatus(ReplyTimeoutMs), 0);
    pollfd pfd{m_port, POLLIN, 0};
    ASSERT_EQ(::poll(&pfd, 1, ReplyTimeoutMs), 1);
    EXPECT_NE(pfd.revents & POLLHUP, 0);
    char byte;
    EXPECT_LE(::read(m_port, &byte, 1), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(path("port")));
}

TEST_F(SimProcessTest, WaitsWithoutSpinning)
{
    auto sim = start({});
    // The tool closing the port must not make the simulator spin on a hang-up either.
    ::close(m_port);
    m_port = -1;
    std::this_thread::sleep_for(1s);
    std::ifstream statFile("/proc/" + std::to_string(sim->pid()) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), {});
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::vector<std::string> values{std::istream_iterator<std::string>(fields), {}};
    ASSERT_GT(values.size(), 13u);
    const long ticks = std::stol(values[11]) + std::stol(values[12]); // utime + stime
    EXPECT_LT(ticks, ::sysconf(_SC_CLK_TCK) / 2) << "CPU ticks used while idle";
}

TEST_F(SimProcessTest, RefusesToReplaceAFileThatIsNoSymlink)
{
    std::ofstream(path("port")) << "keep";
    SimProcess sim({"--link", path("port")});
    EXPECT_EQ(sim.exitStatus(StartTimeoutMs), 1);
    EXPECT_FALSE(std::filesystem::is_symlink(path("port")));
}

TEST_F(SimProcessTest, ReplacesAStaleSymlink)
{
    std::filesystem::create_symlink("/nonexistent", path("port"));
    auto sim = start({});
    EXPECT_EQ(transact(m_port, "P0105\r\n"), "GO\r\n");
}

TEST_F(SimProcessTest, HelpAndBadArguments)
{
    SimProcess help({"--help"});
    EXPECT_NE(help.output().find("--hangup-after N"), std::string::npos);
    EXPECT_EQ(help.exitStatus(StartTimeoutMs), 0);

    SimProcess bad({"--slaves", "1"});
    EXPECT_EQ(bad.exitStatus(StartTimeoutMs), 2);
}

} // namespace
