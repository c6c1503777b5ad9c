#pragma once

#include <QStringList>
#include <iosfwd>

enum SendExit {
    SendAllAccepted = 0,
    SendNotAccepted = 1,
    SendBadInput = 2,
    SendPortFailed = 3,
    SendInterrupted = 130
};

// The whole sender: the command line (program name first) in, the exit status out. Progress and
// the summary go to out, problems to err.
int RunSender(const QStringList& arguments, std::ostream& out, std::ostream& err);
