#pragma once

#include "platform/Preview.h"

#include <QFrame>
#include <functional>
#include <vector>

// The black-framed area in which an editor shows the values of a whole channel. Every painting
// fills a white ground of a fixed size from the corner and draws the lines that the editor gives
// at that moment, so the area always shows the record as it is.
class PreviewFrame : public QFrame
{
    Q_OBJECT

public:
    explicit PreviewFrame(QWidget* parent);

    void setContent(QSize ground, std::function<std::vector<PreviewLine>()> lines);
    // The lines the next painting draws.
    std::vector<PreviewLine> content() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize ground;
    std::function<std::vector<PreviewLine>()> lines;
};
