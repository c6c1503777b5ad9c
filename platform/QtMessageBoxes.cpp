#include "platform/QtMessageBoxes.h"

#include "platform/MessageOwner.h"
#include "res/Messages.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon iconOf(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Error:
        return QMessageBox::Critical;
    case BoxIcon::Warning:
        return QMessageBox::Warning;
    case BoxIcon::Question:
        return QMessageBox::Question;
    case BoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtMessageBoxes::show(const BoxRequest& box)
{
    QApplication::beep();
    QMessageBox message(iconOf(box.icon), QString::fromStdString(box.caption),
                        QString::fromStdString(box.text), QMessageBox::Ok, OwnerWindow(box.owner));
    message.setWindowModality(Qt::ApplicationModal);
    message.exec();
}

bool QtMessageBoxes::askYesNo(const std::string& question)
{
    QApplication::beep();
    QMessageBox message(QMessageBox::Question, QString::fromUtf8(Caption::Program),
                        QString::fromStdString(question), QMessageBox::Yes | QMessageBox::No,
                        OwnerWindow(BoxOwner::MainWindow));
    message.setWindowModality(Qt::ApplicationModal);
    return message.exec() == QMessageBox::Yes;
}
