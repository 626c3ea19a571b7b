#pragma once

#include <QScrollArea>

namespace glidra::kit {

// A window's body that scrolls only while the window is smaller than the
// body needs. It asks for the body's own size, so a window laid out around it
// takes the height its content wants where the screen has room, yet it may
// shrink to a few lines. It is no Tab stop of its own: the controls in it
// scroll into view as they take the focus.
class ScrollingBody final : public QScrollArea {
    Q_OBJECT
public:
    explicit ScrollingBody(QWidget* body, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
};

}  // namespace glidra::kit
