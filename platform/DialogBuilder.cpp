#include "platform/DialogBuilder.h"

#include "platform/PreviewFrame.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

namespace {

QRect pixelRect(const ControlTemplate& control)
{
    return {DluToPixelsX(control.x), DluToPixelsY(control.y), DluToPixelsX(control.width),
            DluToPixelsY(control.height)};
}

QWidget* makeComboBox(const ControlTemplate& control, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(control.kind == ControlKind::DropDownCombo);
    for (const std::string& item : control.items)
        combo->addItem(QString::fromStdString(item));
    // The template's height is that of the dropped list; the closed box is one line high.
    const QRect dropped = pixelRect(control);
    const int closedHeight = combo->sizeHint().height();
    const int itemHeight = combo->fontMetrics().height() + 2;
    combo->setMaxVisibleItems(std::max(1, (dropped.height() - closedHeight) / itemHeight));
    // The style's own popup would show every item at once and ignore that count.
    combo->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    combo->setGeometry(dropped.x(), dropped.y(), dropped.width(), closedHeight);
    return combo;
}

QWidget* makePushButton(const ControlTemplate& control, QDialog& dialog)
{
    auto* button = new QPushButton(QString::fromStdString(control.text), &dialog);
    button->setDefault(control.kind == ControlKind::DefaultPushButton);
    if (control.objectName == OkButtonName)
        QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
    if (control.objectName == CancelButtonName)
        QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::reject);
    button->setGeometry(pixelRect(control));
    return button;
}

QWidget* makeControl(const ControlTemplate& control, QDialog& dialog)
{
    switch (control.kind) {
    case ControlKind::GroupBox: {
        auto* group = new QGroupBox(QString::fromStdString(control.text), &dialog);
        group->setGeometry(pixelRect(control));
        return group;
    }
    case ControlKind::DropDownList:
    case ControlKind::DropDownCombo:
        return makeComboBox(control, &dialog);
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
        return makePushButton(control, dialog);
    case ControlKind::Text: {
        auto* label = new QLabel(QString::fromStdString(control.text), &dialog);
        // Our font runs wider than the one the template was measured with; never clip the text.
        QRect rect = pixelRect(control);
        rect.setWidth(std::max(rect.width(), label->sizeHint().width()));
        label->setGeometry(rect);
        return label;
    }
    case ControlKind::EditLine: {
        auto* edit = new QLineEdit(&dialog);
        edit->setGeometry(pixelRect(control));
        return edit;
    }
    case ControlKind::ProgressBar: {
        auto* progress = new QProgressBar(&dialog);
        progress->setTextVisible(false);
        progress->setGeometry(pixelRect(control));
        return progress;
    }
    case ControlKind::Preview: {
        auto* preview = new PreviewFrame(&dialog);
        preview->setGeometry(pixelRect(control));
        return preview;
    }
    case ControlKind::Table: {
        auto* table = new QTableWidget(0, static_cast<int>(control.items.size()), &dialog);
        QStringList headers;
        for (const std::string& header : control.items)
            headers << QString::fromStdString(header);
        table->setHorizontalHeaderLabels(headers);
        table->setGeometry(pixelRect(control));
        return table;
    }
    case ControlKind::Icon: {
        auto* label = new QLabel(&dialog);
        const QRect rect = pixelRect(control);
        label->setPixmap(QApplication::windowIcon().pixmap(32, 32));
        label->setGeometry(rect.x(), rect.y(), 32, 32);
        return label;
    }
    }
    return nullptr;
}

} // namespace

int DluToPixelsX(int dlu)
{
    return dlu * 7 / 4;
}

int DluToPixelsY(int dlu)
{
    return dlu * 3 / 2;
}

void BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate)
{
    dialog.setWindowTitle(QString::fromStdString(dialogTemplate.caption));
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPointSize(9);
    dialog.setFont(font);
    dialog.setFixedSize(DluToPixelsX(dialogTemplate.width), DluToPixelsY(dialogTemplate.height));
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = makeControl(control, dialog);
        widget->setObjectName(QString::fromStdString(control.objectName));
        if (control.kind == ControlKind::GroupBox)
            widget->lower();
    }
}
