#pragma once

#include "gestures/NormalizedRegionRect.h"
#include "gestures/TouchPoint.h"
#include "trackpad/GestureActivityPresenter.h"

#include <QWidget>

#include <optional>
#include <vector>

namespace glidra {

// The live drawing of the trackpad on the practice page: every finger as a
// dot, the start point of the gesture as an orange ring, and the trigger
// region of a chosen rule. Trackpad y grows upward, so it is flipped here.
class PracticeTrackpadView final : public QWidget {
    Q_OBJECT
public:
    static constexpr int drawingHeight = 220;
    static constexpr double cornerRadius = 16;
    static constexpr double dotSize = 24;
    static constexpr double originSize = 12;

    explicit PracticeTrackpadView(QWidget* parent = nullptr);

    void setPoints(std::vector<PracticeContactPoint> points);
    const std::vector<PracticeContactPoint>& points() const { return points_; }
    void setOrigin(std::optional<TouchPoint> origin);
    const std::optional<TouchPoint>& origin() const { return origin_; }
    void setRegion(std::optional<NormalizedRegionRect> region);
    const std::optional<NormalizedRegionRect>& region() const { return region_; }

    // Where a trackpad point lands in a drawing of this size.
    static QPointF mapped(double x, double y, QSizeF size);

    // What assistive technologies read as the drawing's value.
    QString accessibleValue() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    std::vector<PracticeContactPoint> points_;
    std::optional<TouchPoint> origin_;
    std::optional<NormalizedRegionRect> region_;
};

}  // namespace glidra
