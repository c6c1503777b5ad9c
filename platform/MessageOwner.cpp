#include "platform/MessageOwner.h"

#include <QPointer>
#include <QWidget>

namespace {
QPointer<QWidget> messageOwner;
QPointer<QWidget> mainWindow;
} // namespace

void SetMessageOwner(QWidget* window)
{
    messageOwner = window;
}

void SetMainWindow(QWidget* window)
{
    mainWindow = window;
}

QWidget* OwnerWindow(BoxOwner owner)
{
    switch (owner) {
    case BoxOwner::None:
        return nullptr;
    case BoxOwner::MessageOwner:
        if (messageOwner && messageOwner->isVisible())
            return messageOwner;
        return mainWindow;
    case BoxOwner::MainWindow:
        return mainWindow;
    }
    return nullptr;
}
