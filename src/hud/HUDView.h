#pragma once

#include <QWidget>

namespace glidra {

// The common frame of the HUD's views: a capsule of the translucent material
// with the content row inside 18 points of padding on the left and right.
// The views only paint; the panel is transparent to input.
class HUDView : public QWidget {
    Q_OBJECT
public:
    static constexpr int horizontalPadding = 18;

    // Sizes of the symbols: as tall as a line of the body font.
    static constexpr double symbolSide = 18;

    // Off on an opaque panel, which is the backing itself.
    void setDrawsCapsule(bool draws);

protected:
    HUDView(const QSize& size, QWidget* parent);

    void paintEvent(QPaintEvent* event) final;
    virtual void paintContent(QPainter& painter, const QRectF& row) = 0;

    // The callout style at medium weight, used by every HUD text.
    QFont textFont() const;

    // A determinate bar, vertically centred in `area`, filled to `fraction`
    // (clamped to 0...1; not finite counts as 0).
    void paintProgress(QPainter& painter, const QRectF& area, double fraction) const;

    // Draws a single line whose digits all take the width of the widest one,
    // so that changing numbers keep their place.
    static void paintTabularText(QPainter& painter, const QRectF& box, Qt::Alignment alignment, const QString& text);

    // The symbol centred in a slot of the given width spanning the row.
    void paintSymbol(QPainter& painter, const QRectF& slot, const QString& symbol, const QColor& colour) const;

private:
    bool drawsCapsule_ = true;
};

}  // namespace glidra
