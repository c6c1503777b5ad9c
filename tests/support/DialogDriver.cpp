#include "support/DialogDriver.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

QComboBox* FindCombo(QDialog& dialog, const char* name)
{
    auto* found = dialog.findChild<QComboBox*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void Choose(QComboBox* list, int index)
{
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void Choose(QComboBox* list, const QString& text)
{
    const int index = list->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    Choose(list, index);
}

void Click(QDialog& dialog, const char* name)
{
    auto* button = dialog.findChild<QPushButton*>(QLatin1String(name));
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

void Commit(QDialog& dialog, const char* name, const QString& text)
{
    auto* edit = dialog.findChild<QLineEdit*>(QLatin1String(name));
    ASSERT_NE(edit, nullptr) << name;
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(edit, &commit);
}

void WhileOpen(const std::function<void()>& open, const std::function<void(QDialog&)>& act)
{
    QObject guard;
    bool acted = false;
    QTimer::singleShot(0, &guard, [&] {
        QWidget* modal = nullptr;
        if (!QTest::qWaitFor([&] { return (modal = QApplication::activeModalWidget()); }, 5000))
            return;
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog)
            return;
        acted = true;
        act(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog was left open";
            dialog->reject();
        }
    });
    open();
    EXPECT_TRUE(acted) << "no dialog opened";
}
