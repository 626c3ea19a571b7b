#pragma once

#include <QPointF>
#include <QWidget>

#include <optional>

namespace glidra {

class RegionSelectionModel;

// The lower half of the region sheet: a picture of the trackpad on which a
// drag draws the region and a tap places the quick preset of the tapped
// ninth. Normalised y grows upward, the widget's downward; the canvas flips.
class RegionSelectionCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr int fixedHeight = 260;

    explicit RegionSelectionCanvas(RegionSelectionModel& model, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void dragSelect(QPointF current);
    void tapSelect(QPointF end);

    RegionSelectionModel& model_;
    std::optional<QPointF> dragStart_;
};

}  // namespace glidra
