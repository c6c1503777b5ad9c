#pragma once

#include <QProcess>
#include <QString>

// A virtual X server of the test program's own, on the first free display number.
class XvfbServer
{
public:
    XvfbServer();
    ~XvfbServer();

    bool started() const { return !name.isEmpty(); }
    // ":N", for DISPLAY.
    QString display() const { return name; }

private:
    QProcess process;
    QString name;
};
