#include "send/RunSender.h"

#include <QCoreApplication>
#include <iostream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mrv508-send"));
    return RunSender(QCoreApplication::arguments(), std::cout, std::cerr);
}
