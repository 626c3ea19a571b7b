#pragma once

#include "views/kit/KitColour.h"
#include "views/kit/TextStyle.h"

#include <QAbstractButton>

namespace glidra::kit {

// A button drawn as its text alone, in the accent colour: the small "show
// more" links inside cards and notices. It is never a dialog's default, so
// Return in a sheet does not reach it.
class PlainButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PlainButton(const QString& text = {}, TextStyle style = TextStyle::body, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace glidra::kit
