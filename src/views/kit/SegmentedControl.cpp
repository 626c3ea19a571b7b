#include "views/kit/SegmentedControl.h"

#include "views/kit/KitColour.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace glidra::kit {

namespace {
constexpr int outerInset = 2;
constexpr int segmentPadding = 12;
constexpr double outerRadius = 7;
constexpr double segmentRadius = 5;
// One option, as a radio button of the control's group: named by its
// text, checked while it is the current one, chosen by its press action.
class SegmentAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    SegmentAccessible(SegmentedControl* control, int index) : control_(control), index_(index) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    bool isValid() const override { return control_ && index_ < control_->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return control_ ? control_->window()->windowHandle() : nullptr; }
    QAccessible::Role role() const override { return QAccessible::RadioButton; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.checkable = true;
        state.checked = control_->currentIndex() == index_;
        state.focusable = true;
        state.focused = state.checked && control_->hasFocus();
        state.disabled = !control_->isEnabled();
        state.invisible = !control_->isVisible();
        return state;
    }
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect segment = control_->segmentRect(index_);
        return {control_->mapToGlobal(segment.topLeft()), segment.size()};
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name && isValid() ? control_->options().at(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(control_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (isValid() && control_->isEnabled() && name == pressAction()) control_->chooseSegment(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<SegmentedControl> control_;
    int index_;
};

// The control as a group of radio buttons, one for each option, valued by
// the current option's text.
class SegmentedControlAccessible final : public QAccessibleWidget {
public:
    explicit SegmentedControlAccessible(SegmentedControl* control)
        : QAccessibleWidget(control, QAccessible::Grouping) {}
    ~SegmentedControlAccessible() override {
        for (const QAccessible::Id id : segments_) {
            if (id) QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override { return control()->count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        if (size_t(index) >= segments_.size()) segments_.resize(size_t(index) + 1, 0);
        QAccessible::Id& id = segments_[size_t(index)];
        if (!id) id = QAccessible::registerAccessibleInterface(new SegmentAccessible(control(), index));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* segment) const override {
        for (int i = 0; i < childCount(); ++i) {
            if (child(i) == segment) return i;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return child(control()->segmentAt(control()->mapFromGlobal(QPoint(x, y))));
    }
    QAccessibleInterface* focusChild() const override {
        return control()->hasFocus() ? child(control()->currentIndex()) : nullptr;
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            const int current = control()->currentIndex();
            return current >= 0 ? control()->options().at(current) : QString();
        }
        return QAccessibleWidget::text(kind);
    }

private:
    SegmentedControl* control() const { return static_cast<SegmentedControl*>(widget()); }

    mutable std::vector<QAccessible::Id> segments_;
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("glidra::kit::SegmentedControl") && object && object->isWidgetType()) {
        return new SegmentedControlAccessible(static_cast<SegmentedControl*>(object));
    }
    return nullptr;
}

}  // namespace

SegmentedControl::SegmentedControl(const QStringList& options, QWidget* parent) : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
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
    const int previous = std::exchange(current_, index);
    update();
    announce(previous);
}

// Tells assistive technologies which option went and which came, and moves
// their focus with it.
void SegmentedControl::announce(int previous) {
    if (!QAccessible::isActive()) return;
    QAccessibleInterface* control = QAccessible::queryAccessibleInterface(this);
    if (!control) return;
    QAccessible::State checked;
    checked.checked = true;
    for (const int index : {previous, current_}) {
        if (QAccessibleInterface* segment = control->child(index)) {
            QAccessibleStateChangeEvent change(segment, checked);
            QAccessible::updateAccessibility(&change);
        }
    }
    if (hasFocus()) {
        if (QAccessibleInterface* segment = control->child(current_)) {
            QAccessibleEvent focus(segment, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    }
    QAccessibleValueChangeEvent value(this, current_ >= 0 ? options_.at(current_) : QString());
    QAccessible::updateAccessibility(&value);
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

void SegmentedControl::chooseSegment(int index) {
    if (index < 0 || index >= count() || index == current_) return;
    const int previous = std::exchange(current_, index);
    update();
    announce(previous);
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
    if (released == pressed) chooseSegment(released);
}

void SegmentedControl::keyPressEvent(QKeyEvent* event) {
    const bool forward = event->key() == Qt::Key_Right;
    const bool backward = event->key() == Qt::Key_Left;
    if ((!forward && !backward) || count() == 0) return QWidget::keyPressEvent(event);
    const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
    const int step = (forward != rightToLeft) ? 1 : -1;
    const int from = current_ < 0 ? (step > 0 ? -1 : count()) : current_;
    chooseSegment(std::clamp(from + step, 0, count() - 1));
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
