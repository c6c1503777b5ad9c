#pragma once

#include "platform/InputMethod.h"

#include <QStringList>

// Fcitx 5 through its command-line remote; without a running Fcitx 5 it reads as off.
class Fcitx5InputMethod : public InputMethod
{
public:
    bool isOpen() override;
    void setOpen(bool open) override;

private:
    static QString remote(const QStringList& arguments);
};
