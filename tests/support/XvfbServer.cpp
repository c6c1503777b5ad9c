#include "support/XvfbServer.h"

#include <QTest>
#include <csignal>
#include <sys/prctl.h>

XvfbServer::XvfbServer()
{
    // -displayfd picks a free display and writes its number once the server accepts clients;
    // -noreset keeps the server up between the programs a test starts one after the other.
    process.setProgram(QStringLiteral("Xvfb"));
    process.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                          QStringLiteral("-noreset"), QStringLiteral("-nolisten"),
                          QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                          QStringLiteral("1024x768x24")});
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process.start();
    if (!process.waitForStarted(5000))
        return;
    QByteArray number;
    if (QTest::qWaitFor(
            [&] {
                number += process.readAllStandardOutput();
                return number.endsWith('\n') || process.state() == QProcess::NotRunning;
            },
            20000) &&
        number.endsWith('\n'))
        name = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
}

XvfbServer::~XvfbServer()
{
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished(5000);
}
