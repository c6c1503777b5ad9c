#include "support/SimulatorProcess.h"

#include "platform/Profile.h"
#include "support/BuildPaths.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Started with fork and exec rather than QProcess: Qt starts a child the way vfork does, in our
// own memory, and from then on ThreadSanitizer no longer sees this thread take its locks.
SimulatorProcess::SimulatorProcess(const QStringList& options)
{
    const QString linkPath = folder.filePath(QStringLiteral("ttySIM"));
    std::vector<std::string> arguments{SimulatorPath()};
    for (const QString& argument : QStringList{QStringLiteral("--link"), linkPath,
                                               QStringLiteral("--state"), folder.filePath("state.json"),
                                               QStringLiteral("--log"), folder.filePath("sim.log")} +
                                       options)
        arguments.push_back(argument.toStdString());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid = fork();
    if (pid == 0) {
        // A test program that dies (a sanitizer's report ends it at once) takes its simulator along.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (pid > 0 && QTest::qWaitFor([&] { return QFile::exists(linkPath); }, 5000))
        link = linkPath;
}

SimulatorProcess::~SimulatorProcess()
{
    kill();
}

void SimulatorProcess::mapPort(int comNumber) const
{
    MapPortInProfile(comNumber, linkPath());
}

QJsonObject SimulatorProcess::state(int frames, int timeoutMs) const
{
    QJsonObject current;
    [[maybe_unused]] const bool complete = QTest::qWaitFor(
        [&] {
            QFile file(folder.filePath(QStringLiteral("state.json")));
            if (!file.open(QIODevice::ReadOnly))
                return false;
            current = QJsonDocument::fromJson(file.readAll()).object();
            return current.value(QStringLiteral("frames")).toInt() >= frames;
        },
        timeoutMs);
    return current;
}

QJsonObject SimulatorProcess::channel(int channel, int device) const
{
    return state()["devices"]
        .toArray()[device]
        .toObject()["channels"]
        .toArray()[channel]
        .toObject();
}

QString SimulatorProcess::log() const
{
    QFile file(folder.filePath(QStringLiteral("sim.log")));
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

QStringList SimulatorProcess::framesReceived() const
{
    QStringList frames;
    for (const TimedFrame& timed : framesWithTimes())
        frames << timed.frame;
    return frames;
}

// Each log line reads "<ms> ms  <frame>  <what became of it>".
QList<SimulatorProcess::TimedFrame> SimulatorProcess::framesWithTimes() const
{
    QList<TimedFrame> frames;
    for (const QString& line : log().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.contains(QLatin1String("\\r\\n")))
            frames.append({line.section(QLatin1Char(' '), 0, 0).toLongLong(),
                           line.section(QStringLiteral("  "), 1, 1)});
    }
    return frames;
}

void SimulatorProcess::kill()
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

void MapPortInProfile(int comNumber, const std::string& devicePath)
{
    QSettings profile(QString::fromStdString(ProfileFilePath()), QSettings::IniFormat);
    profile.setValue(QStringLiteral("Ports/COM%1").arg(comNumber),
                     QString::fromStdString(devicePath));
}
