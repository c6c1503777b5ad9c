#pragma once

#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>
#include <string>
#include <sys/types.h>

// A running device simulator on its own pseudo-terminal, for tests that drive the real link.
class SimulatorProcess
{
public:
    explicit SimulatorProcess(const QStringList& options = {});
    ~SimulatorProcess();

    bool started() const { return !link.isEmpty(); }
    std::string linkPath() const { return link.toStdString(); }

    // Maps COMn (1..6) of the test profile to this simulator.
    void mapPort(int comNumber) const;

    // The device state after the last frame; waits until the simulator has taken `frames`.
    QJsonObject state(int frames = 0, int timeoutMs = 5000) const;
    QJsonObject channel(int channel, int device = 0) const;
    QString log() const;
    // The frames received, as the log writes them: "P0105\r\n" with the escapes.
    QStringList framesReceived() const;
    // The same, each with its arrival in milliseconds since the simulator started.
    struct TimedFrame
    {
        qint64 ms;
        QString frame;
    };
    QList<TimedFrame> framesWithTimes() const;

    void kill();

private:
    QTemporaryDir folder;
    pid_t pid = -1;
    QString link;
};

// Writes [Ports] COMn of the test profile.
void MapPortInProfile(int comNumber, const std::string& devicePath);
