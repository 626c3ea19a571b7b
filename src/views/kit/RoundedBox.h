#pragma once

#include "views/kit/KitColour.h"

#include <QWidget>

namespace glidra::kit {

// A container painted as a rounded rectangle of a named colour: the shape
// behind group boxes, banners and cards.
class RoundedBox : public QWidget {
    Q_OBJECT
public:
    RoundedBox(KitColour fill, double radius, QWidget* parent = nullptr);

    KitColour fill() const { return fill_; }
    double radius() const { return radius_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    KitColour fill_;
    double radius_;
};

}  // namespace glidra::kit
