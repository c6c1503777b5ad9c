#include "platform/PreviewFrame.h"

#include "platform/Cp932.h"

#include <QPainter>

PreviewFrame::PreviewFrame(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette frameColour = palette();
    frameColour.setColor(QPalette::WindowText, Qt::black);
    setPalette(frameColour);
}

void PreviewFrame::setContent(QSize groundSize, std::string caption,
                              std::function<std::vector<PreviewLine>()> content)
{
    ground = groundSize;
    captionPrefix = std::move(caption);
    lines = std::move(content);
    update();
}

void PreviewFrame::showChannel(int channel)
{
    update();
    window()->setWindowTitle(QString::fromStdString(PreviewCaption(captionPrefix, channel)));
}

std::vector<PreviewLine> PreviewFrame::content() const
{
    return lines ? lines() : std::vector<PreviewLine>{};
}

void PreviewFrame::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.fillRect(QRect(QPoint(0, 0), ground), Qt::white);
        painter.setPen(Qt::black);
        painter.setBackground(Qt::white);
        painter.setBackgroundMode(Qt::OpaqueMode);
        const int ascent = painter.fontMetrics().ascent();
        for (const PreviewLine& line : content())
            painter.drawText(line.x, line.y + ascent, FromCp932(line.text));
    }
    QFrame::paintEvent(event);
}
