#include "support/SimulatorProcess.h"

#include "platform/Profile.h"
#include "support/BuildPaths.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QTest>
#include <csignal>
#include <sys/prctl.h>

SimulatorProcess::SimulatorProcess(const QStringList& options)
{
    const QString linkPath = folder.filePath(QStringLiteral("ttySIM"));
    process.setProgram(QString::fromStdString(SimulatorPath()));
    process.setArguments(QStringList{QStringLiteral("--link"), linkPath, QStringLiteral("--state"),
                                     folder.filePath("state.json"), QStringLiteral("--log"),
                                     folder.filePath("sim.log")} +
                         options);
    // A test program that dies (a sanitizer's report ends it at once) takes its simulator along.
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process.start();
    if (!process.waitForStarted(5000))
        return;
    if (QTest::qWaitFor([&] { return QFile::exists(linkPath); }, 5000))
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
    if (process.state() == QProcess::NotRunning)
        return;
    process.kill();
    process.waitForFinished(5000);
}

void MapPortInProfile(int comNumber, const std::string& devicePath)
{
    QSettings profile(QString::fromStdString(ProfileFilePath()), QSettings::IniFormat);
    profile.setValue(QStringLiteral("Ports/COM%1").arg(comNumber),
                     QString::fromStdString(devicePath));
}
