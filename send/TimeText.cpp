#include "send/TimeText.h"

#include <QDateTime>

namespace {

QDateTime local(std::chrono::system_clock::time_point time)
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch());
    const QDateTime moment = QDateTime::fromMSecsSinceEpoch(ms.count());
    // With the offset spelled out, the text says which moment it is wherever it is read.
    return moment.toOffsetFromUtc(moment.offsetFromUtc());
}

} // namespace

std::string LocalTimeText(std::chrono::system_clock::time_point time)
{
    return local(time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
}

std::string IsoTimeText(std::chrono::system_clock::time_point time)
{
    return local(time).toString(Qt::ISODateWithMs).toStdString();
}
