#pragma once

#include "platform/Preview.h"

#include <QFrame>
#include <functional>
#include <string>
#include <vector>

// The black-framed area in which an editor shows the values of a whole channel. Every painting
// fills a white ground of a fixed size from the corner and draws the lines that the editor gives
// at that moment, so the area always shows the record as it is.
class PreviewFrame : public QFrame
{
    Q_OBJECT

public:
    explicit PreviewFrame(QWidget* parent);

    // The dialog's caption is `captionPrefix` followed by the channel shown.
    void setContent(QSize ground, std::string captionPrefix,
                    std::function<std::vector<PreviewLine>()> lines);
    // Repaints the lines and names `channel` in the dialog's caption.
    void showChannel(int channel);
    // The lines the next painting draws.
    std::vector<PreviewLine> content() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize ground;
    std::string captionPrefix;
    std::function<std::vector<PreviewLine>()> lines;
};
