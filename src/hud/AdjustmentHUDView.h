#pragma once

#include "gestures/EdgeGesture.h"
#include "hud/HUDView.h"

namespace glidra {

// A level being adjusted: the side's symbol, a bar of the level and "N%".
class AdjustmentHUDView final : public HUDView {
    Q_OBJECT
public:
    static constexpr QSize capsuleSize{224, 48};

    AdjustmentHUDView(EdgeGesture::Side side, float value, QWidget* parent = nullptr);

    // The level in whole percent: value × 100 in single precision, halves away
    // from zero.
    static int percent(float value);

    EdgeGesture::Side side() const { return side_; }
    float value() const { return value_; }
    QString symbolName() const;
    QString percentText() const;
    QString barLabel() const;

protected:
    void paintContent(QPainter& painter, const QRectF& row) override;

private:
    EdgeGesture::Side side_;
    float value_;
};

}  // namespace glidra
