#include "platform/Fcitx5InputMethod.h"

#include <QProcess>

namespace {

// fcitx5-remote answers "1" while input is off and "2" while it is on.
constexpr const char* OpenStatus = "2";
constexpr int RemoteTimeoutMs = 1000;

} // namespace

bool Fcitx5InputMethod::isOpen()
{
    return remote({}) == QLatin1String(OpenStatus);
}

void Fcitx5InputMethod::setOpen(bool open)
{
    remote({open ? QStringLiteral("-o") : QStringLiteral("-c")});
}

QString Fcitx5InputMethod::remote(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("fcitx5-remote"), arguments);
    if (!process.waitForFinished(RemoteTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
}
