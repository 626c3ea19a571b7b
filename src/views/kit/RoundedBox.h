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

    // Scales the fill colour's own alpha, for boxes drawn fainter than the
    // named style (1 by default).
    void setFillOpacity(double opacity);
    double fillOpacity() const { return fillOpacity_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    KitColour fill_;
    double radius_;
    double fillOpacity_ = 1;
};

}  // namespace glidra::kit
