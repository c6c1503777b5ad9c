// Measures what the link costs while nothing happens, and how fast a reply is noticed. Prints
// each figure beside its target.
#include "editors/CTitleTableDlg.h"
#include "link/CCommSettingDlg.h"
#include "link/CommLink.h"
#include "platform/Cp932.h"
#include "platform/MessageBoxes.h"
#include "platform/Profile.h"
#include "settings/DeviceSettings.h"
#include "support/BuildPaths.h"

#include <QApplication>
#include <QSettings>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto IdleWindow = 10s;
constexpr auto SettleTime = 2s;
constexpr int Replies = 1000;
constexpr int WarmUpReplies = 20;
constexpr double IdleTargetPercent = 0.5;
constexpr double LatencyTargetMs = 2.0;

// Link failures in the in-process part go to standard error; nobody answers them.
class PrintedBoxes : public MessageBoxes
{
public:
    void show(const BoxRequest& box) override
    {
        std::fprintf(stderr, "box: %s\n", box.text.c_str());
    }
    bool askYesNo(const std::string&) override { return false; }
};

struct Row
{
    std::string figure;
    std::string measured;
    std::string target;
    std::string verdict;
};

std::vector<Row> rows;

void addRow(const std::string& figure, double value, const char* unit, const std::string& target,
            std::optional<bool> met)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f %s", value, unit);
    rows.push_back({figure, text, target, met ? (*met ? "ok" : "MISSED") : ""});
}

void printTable()
{
    std::printf("\n%-44s %-14s %-22s %s\n", "figure", "measured", "target", "");
    for (const Row& row : rows)
        std::printf("%-44s %-14s %-22s %s\n", row.figure.c_str(), row.measured.c_str(),
                    row.target.c_str(), row.verdict.c_str());
}

void mapCom1(const std::string& devicePath)
{
    QSettings profile(QString::fromStdString(ProfileFilePath()), QSettings::IniFormat);
    profile.clear();
    profile.setValue(QStringLiteral("Ports/COM1"), QString::fromStdString(devicePath));
}

pid_t spawn(const std::vector<std::string>& args, const fs::path& output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::vector<std::string> copies = args;
    std::vector<char*> argv;
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void stop(pid_t& pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

bool running(pid_t pid)
{
    return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0;
}

// User plus system time of a process, in seconds.
std::optional<double> cpuSeconds(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t end = stat.rfind(')');
    if (end == std::string::npos)
        return std::nullopt;
    // After the command name: state is field 3, utime 14, stime 15.
    std::istringstream fields(stat.substr(end + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int index = 3; index <= 15 && fields >> field; ++index) {
        if (index == 14)
            utime = std::stoull(field);
        if (index == 15)
            stime = std::stoull(field);
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

// Whether the process holds a descriptor on the given device.
bool holds(pid_t pid, const fs::path& device)
{
    std::error_code error;
    const fs::path target = fs::canonical(device, error);
    if (error)
        return false;
    for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error))
        if (fs::read_symlink(entry.path(), error) == target)
            return true;
    return false;
}

// The simulator on a pseudo-terminal reached through `link`.
pid_t startSimulator(const fs::path& link, const fs::path& folder)
{
    fs::remove(link);
    const pid_t pid =
        spawn({SimulatorPath(), "--link", link.string(), "--log", (folder / "sim.log").string()},
              folder / "sim.out");
    const auto deadline = Clock::now() + 5s;
    while (pid > 0 && !fs::exists(link) && Clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    return pid;
}

// CPU share of one core that the running tool uses over the idle window.
std::optional<double> idlePercent(pid_t tool)
{
    const auto before = cpuSeconds(tool);
    const auto start = Clock::now();
    std::this_thread::sleep_for(IdleWindow);
    const auto after = cpuSeconds(tool);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    if (!before || !after || !running(tool))
        return std::nullopt;
    return (*after - *before) / wall * 100.0;
}

void measureIdle(const fs::path& folder)
{
    const std::string target = "< 0.5 % of one core";
    const fs::path link = folder / "ttySIM";
    const fs::path toolLog = folder / "mrv508.out";
    struct Case
    {
        const char* name;
        bool simulator;
        bool hangUp;
    };
    for (const Case& idleCase : {Case{"idle CPU, port open and quiet", true, false},
                                 Case{"idle CPU, port failed (missing device)", false, false},
                                 Case{"idle CPU, after the peer hung up", true, true}}) {
        pid_t sim = idleCase.simulator ? startSimulator(link, folder) : -1;
        if (idleCase.simulator && sim <= 0) {
            std::fprintf(stderr, "%s: the simulator did not start\n", idleCase.name);
            continue;
        }
        const fs::path device = idleCase.simulator ? fs::canonical(link) : folder / "ttyGONE";
        mapCom1(device.string());
        pid_t tool = spawn({AppPath()}, toolLog);
        std::this_thread::sleep_for(SettleTime);
        if (idleCase.simulator && !holds(tool, device))
            std::fprintf(stderr, "%s: the tool did not open %s\n", idleCase.name, device.c_str());
        if (idleCase.hangUp) {
            stop(sim);
            std::this_thread::sleep_for(SettleTime);
        }
        const auto percent = idlePercent(tool);
        if (percent)
            addRow(idleCase.name, *percent, "%", target, *percent < IdleTargetPercent);
        else
            rows.push_back({idleCase.name, "n/a", target, "the tool ended early"});
        stop(tool);
        stop(sim);
    }
}

struct Latencies
{
    std::vector<double> ms;
    int lost = 0;
};

// Plays the device on the master side: takes the command that `send` writes, answers "GO" CR LF
// and times from that write to the moment `taken` reports the reply seen.
template <typename Send, typename Taken> Latencies timeReplies(int master, Send send, Taken taken)
{
    Latencies result;
    char command[64];
    for (int reply = 0; reply < WarmUpReplies + Replies; ++reply) {
        send();
        pollfd readable{master, POLLIN, 0};
        if (poll(&readable, 1, 1000) <= 0 || read(master, command, sizeof command) <= 0) {
            ++result.lost;
            continue;
        }
        const auto lastByte = Clock::now();
        [[maybe_unused]] const ssize_t written = write(master, "GO\r\n", 4);
        const auto giveUp = lastByte + 1s;
        // Short sleeps rather than a busy wait: on a loaded machine a spinning bench would take
        // the core the reader thread needs and measure itself.
        while (!taken() && Clock::now() < giveUp)
            std::this_thread::sleep_for(10us);
        const auto seen = Clock::now();
        if (!taken())
            ++result.lost;
        else if (reply >= WarmUpReplies)
            result.ms.push_back(std::chrono::duration<double, std::milli>(seen - lastByte).count());
    }
    std::sort(result.ms.begin(), result.ms.end());
    return result;
}

double percentile(const std::vector<double>& sorted, double share)
{
    return sorted[std::min(sorted.size() - 1, size_t(share * double(sorted.size())))];
}

int openPseudoTerminal()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
        return master;
    if (master >= 0)
        close(master);
    std::fprintf(stderr, "no pseudo-terminal\n");
    return -1;
}

// The link's own reader: SerialLink on the slave side, as the tool runs it.
std::optional<Latencies> linkLatencies()
{
    const int master = openPseudoTerminal();
    if (master < 0)
        return std::nullopt;
    mapCom1(ptsname(master));
    DeviceSettings.allSetStep = 1; // as in a batch: "GO" needs no box
    SerialLink.StartLink();
    if (!SerialLink.portOpen()) {
        close(master);
        return std::nullopt;
    }
    const Latencies result = timeReplies(
        master, [] { SerialLink.SendCommand("P0101\r\n"); },
        [] { return DeviceSettings.awaitingReply == 0; });
    SerialLink.StopLink();
    close(master);
    return result;
}

// For reference: the same exchange with a bare thread in poll() on the slave, no link code. What
// this shows is the machine's own wake-up time under its present load.
std::optional<Latencies> bareLatencies()
{
    const int master = openPseudoTerminal();
    if (master < 0)
        return std::nullopt;
    const int slave = open(ptsname(master), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    std::atomic<bool> awaiting = false;
    std::atomic<bool> running = true;
    std::thread reader([&] {
        char buffer[100];
        while (running) {
            pollfd readable{slave, POLLIN, 0};
            if (poll(&readable, 1, 100) <= 0)
                continue;
            const ssize_t size = read(slave, buffer, sizeof buffer);
            if (size > 0 && buffer[size - 1] == '\n')
                awaiting = false;
        }
    });
    const Latencies result = timeReplies(
        master,
        [&] {
            awaiting = true;
            [[maybe_unused]] const ssize_t written = write(slave, "P0101\r\n", 7);
        },
        [&] { return !awaiting; });
    running = false;
    reader.join();
    close(slave);
    close(master);
    return result;
}

void addLatencyRows(const std::string& name, const std::optional<Latencies>& latencies,
                    bool withTarget)
{
    if (!latencies || latencies->ms.empty()) {
        rows.push_back({name, "n/a", withTarget ? "p99 < 2 ms" : "", "not measured"});
        return;
    }
    const std::vector<double>& ms = latencies->ms;
    const std::string count = " (" + std::to_string(ms.size()) + " replies)";
    addRow(name + ", median" + count, percentile(ms, 0.5), "ms", "", std::nullopt);
    if (withTarget)
        addRow(name + ", p99" + count, percentile(ms, 0.99), "ms", "p99 < 2 ms",
               percentile(ms, 0.99) < LatencyTargetMs);
    else
        addRow(name + ", p99" + count, percentile(ms, 0.99), "ms", "(reference)", std::nullopt);
    addRow(name + ", max" + count, ms.back(), "ms", "", std::nullopt);
    if (latencies->lost > 0)
        rows.push_back(
            {name + ": not seen within 1 s", std::to_string(latencies->lost), "0", "MISSED"});
}

void measureLatency()
{
    prctl(PR_SET_TIMERSLACK, 1000UL); // 1 us: the short sleeps set the resolution
    addLatencyRows("reply latency", linkLatencies(), true);
    addLatencyRows("bare pty wake-up", bareLatencies(), false);
}

// The communication dialog as the operator opens it: built, the machine's serial devices looked
// up for the line beneath the lists, and shown.
// The time from constructing a dialog until it has been shown once, 20 times over.
template <typename Dialog> void measureOpening(const std::string& name, double limitMs)
{
    constexpr int Openings = 20;
    std::vector<double> ms;
    for (int opening = 0; opening < Openings; ++opening) {
        const auto start = Clock::now();
        Dialog dialog(nullptr);
        dialog.show();
        QApplication::processEvents();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    char target[32];
    std::snprintf(target, sizeof target, "< %.0f ms", limitMs);
    addRow(name + ", median (20)", percentile(ms, 0.5), "ms", "", std::nullopt);
    addRow(name + ", max (20)", ms.back(), "ms", target, ms.back() < limitMs);
}

void measureDialogs()
{
    measureOpening<CCommSettingDlg>("comm dialog open with detection", 100);
    const std::string full = ToCp932(QString::fromUtf8("漢").repeated(TitleBytes / 2)).value();
    for (auto& channel : DeviceSettings.title)
        for (std::string& title : channel)
            title = full;
    measureOpening<CTitleTableDlg>("title table open with 66 full titles", 50);
}

std::string loadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string one, five;
    file >> one >> five;
    return one + " (1 min), " + five + " (5 min) on " +
           std::to_string(std::thread::hardware_concurrency()) + " cores";
}

} // namespace

int main(int argc, char** argv)
{
    // A private profile and instance lock; the operator's own stay untouched.
    char folderTemplate[] = "/tmp/link_bench.XXXXXX";
    if (!mkdtemp(folderTemplate)) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = folderTemplate;
    fs::create_directories(folder / "config");
    fs::create_directories(folder / "runtime");
    fs::permissions(folder / "runtime", fs::perms::owner_all);
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (folder / "runtime").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    QApplication application(argc, argv);
    PrintedBoxes boxes;
    SetBoxes(&boxes);

    std::printf("reply latency: %d replies on a pseudo-terminal ...\n", Replies);
    std::fflush(stdout);
    measureLatency();
    measureDialogs();
    std::printf("idle CPU of %s: 3 x %lld s ...\n", AppPath().c_str(),
                static_cast<long long>(IdleWindow.count()));
    std::fflush(stdout);
    measureIdle(folder);

    printTable();
    std::printf("\nCPU time from /proc/PID/stat counts in 1/%ld s, so the idle figures step by "
                "%.2f %%.\nLoad average at the end: %s\n",
                sysconf(_SC_CLK_TCK),
                100.0 / double(sysconf(_SC_CLK_TCK)) /
                    std::chrono::duration<double>(IdleWindow).count(),
                loadAverage().c_str());
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}
