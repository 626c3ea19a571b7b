#include "views/kit/SegmentedControl.h"

#include "views/kit/KitColour.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace glidra::kit {

namespace {
constexpr int outerInset = 2;
constexpr int segmentPadding = 12;
constexpr double outerRadius = 7;
constexpr double segmentRadius = 5;
}  // namespace

SegmentedControl::SegmentedControl(const QStringList& options, QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
    setOptions(options);
}

void SegmentedControl::setOptions(const QStringList& options) {
    options_ = options;
    if (current_ >= count()) current_ = -1;
    pressed_ = -1;
    updateGeometry();
    update();
}

void SegmentedControl::setCurrentIndex(int index) {
    if (index < -1 || index >= count()) index = -1;
    if (index == current_) return;
    current_ = index;
    update();
}

QRect SegmentedControl::segmentRect(int index) const {
    if (index < 0 || index >= count()) return {};
    const QRect inner = rect().adjusted(outerInset, outerInset, -outerInset, -outerInset);
    const int left = inner.x() + inner.width() * index / count();
    const int right = inner.x() + inner.width() * (index + 1) / count();
    return {left, inner.y(), right - left, inner.height()};
}

int SegmentedControl::segmentAt(const QPoint& position) const {
    for (int i = 0; i < count(); ++i) {
        if (segmentRect(i).contains(position)) return i;
    }
    return -1;
}

QSize SegmentedControl::sizeHint() const {
    int widest = 0;
    for (const QString& option : options_) widest = std::max(widest, fontMetrics().horizontalAdvance(option));
    const int segment = widest + 2 * segmentPadding;
    return {std::max(1, count()) * segment + 2 * outerInset, fontMetrics().height() + 8 + 2 * outerInset};
}

QSize SegmentedControl::minimumSizeHint() const { return sizeHint(); }

void SegmentedControl::choose(int index) {
    if (index < 0 || index >= count() || index == current_) return;
    current_ = index;
    update();
    Q_EMIT activated(index);
}

void SegmentedControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    pressed_ = segmentAt(event->position().toPoint());
    update();
}

void SegmentedControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    const int released = segmentAt(event->position().toPoint());
    const int pressed = std::exchange(pressed_, -1);
    update();
    if (released == pressed) choose(released);
}

void SegmentedControl::keyPressEvent(QKeyEvent* event) {
    const bool forward = event->key() == Qt::Key_Right;
    const bool backward = event->key() == Qt::Key_Left;
    if ((!forward && !backward) || count() == 0) return QWidget::keyPressEvent(event);
    const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
    const int step = (forward != rightToLeft) ? 1 : -1;
    const int from = current_ < 0 ? (step > 0 ? -1 : count()) : current_;
    choose(std::clamp(from + step, 0, count() - 1));
}

void SegmentedControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) painter.setOpacity(0.5);
    const QPalette& pal = palette();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour(KitColour::quaternary, pal));
    painter.drawRoundedRect(QRectF(rect()), outerRadius, outerRadius);

    for (int i = 0; i < count(); ++i) {
        const QRectF segment = segmentRect(i);
        if (i == current_) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0, 0, 0, isDark(pal) ? 60 : 20));
            painter.drawRoundedRect(segment.translated(0, 0.5), segmentRadius, segmentRadius);
            painter.setBrush(isDark(pal) ? colour(KitColour::tertiary, pal)
                                         : colour(KitColour::controlBackground, pal));
            painter.drawRoundedRect(segment, segmentRadius, segmentRadius);
        } else if (i == pressed_) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour(KitColour::quaternary, pal));
            painter.drawRoundedRect(segment, segmentRadius, segmentRadius);
        }
        // A divider between two unselected neighbours.
        if (i > 0 && i != current_ && i - 1 != current_) {
            painter.setPen(QPen(colour(KitColour::separator, pal), 1));
            const double x = segment.left();
            painter.drawLine(QPointF(x, segment.top() + 5), QPointF(x, segment.bottom() - 5));
        }
        painter.setPen(colour(KitColour::primary, pal));
        painter.drawText(segment, Qt::AlignCenter | Qt::TextSingleLine,
                         fontMetrics().elidedText(options_[i], Qt::ElideRight, int(segment.width()) - 4));
    }

    if (hasFocus() && current_ >= 0) {
        QColor ring = colour(KitColour::accent, pal);
        ring.setAlphaF(0.6f);
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(segmentRect(current_)).adjusted(1, 1, -1, -1), segmentRadius, segmentRadius);
    }
}

}  // namespace glidra::kit
