#include "views/pages/SlideDistancePicker.h"

#include "views/kit/Ground.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/WheelGuard.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <limits>

namespace glidra {

namespace {
constexpr int kFieldWidth = 48;
}  // namespace

SlideDistancePicker::SlideDistancePicker(SlideDistance selection, QWidget* parent)
    : QWidget(parent), selection_(selection), slider_(new QSlider(Qt::Horizontal)), field_(new QLineEdit) {
    setObjectName(QStringLiteral("slideDistance"));
    setToolTip(
        tr("按触控板对应方向的长度计算：横滑按宽度，竖滑按高度。距离越小越容易触发；高比例需要足够的可滑动空间。"
           "每次接触只执行一次。"));

    slider_->setObjectName(QStringLiteral("slideDistanceSlider"));
    slider_->setAccessibleName(tr("触发操作所需的滑动距离"));
    slider_->setRange(SlideDistance::minimumPercent, SlideDistance::maximumPercent);
    slider_->setSingleStep(1);
    slider_->setPageStep(1);
    kit::WheelGuard::guard(slider_);

    // Empty until shown, then filled with the current value.
    field_->setObjectName(QStringLiteral("slideDistanceField"));
    field_->setAccessibleName(tr("滑动距离百分比，1 至 100"));
    field_->setPlaceholderText(QStringLiteral("12"));
    kit::keepPlaceholderLegible(field_);
    field_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field_->setFixedWidth(kFieldWidth);
    field_->installEventFilter(this);

    auto* value = new QHBoxLayout;
    value->setContentsMargins(0, 0, 0, 0);
    value->setSpacing(3);
    value->addWidget(field_, 0, Qt::AlignVCenter);
    value->addWidget(new kit::StyledLabel(QStringLiteral("%"), kit::TextStyle::body, kit::KitColour::secondary), 0,
                     Qt::AlignVCenter);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(new kit::StyledLabel(tr("滑动距离"), kit::TextStyle::callout, kit::KitColour::secondary), 0,
                      Qt::AlignVCenter);
    layout->addWidget(slider_, 1, Qt::AlignVCenter);
    layout->addLayout(value);

    syncSlider();
    connect(slider_, &QSlider::valueChanged, this, [this](int percent) { edit(SlideDistance::clamped(percent)); });
    // Return commits here; losing focus commits in the event filter, also
    // when the text was not touched (the slider may have moved meanwhile).
    connect(field_, &QLineEdit::returnPressed, this, &SlideDistancePicker::commitField);
}

std::optional<qint64> SlideDistancePicker::parsePercent(QStringView text) {
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty()) return std::nullopt;
    qsizetype at = 0;
    bool negative = false;
    if (trimmed[0] == u'+' || trimmed[0] == u'-') {
        negative = trimmed[0] == u'-';
        ++at;
    }
    if (at == trimmed.size()) return std::nullopt;
    // Accumulated as a negative number, whose range reaches the minimum.
    qint64 value = 0;
    constexpr qint64 lowest = std::numeric_limits<qint64>::min();
    for (; at < trimmed.size(); ++at) {
        const char16_t c = trimmed[at].unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        const int digit = c - u'0';
        if (value < (lowest + digit) / 10) return std::nullopt;
        value = value * 10 - digit;
    }
    if (negative) return value;
    if (value == lowest) return std::nullopt;
    return -value;
}

void SlideDistancePicker::setSelection(SlideDistance selection) {
    const bool changed = selection != selection_;
    selection_ = selection;
    syncSlider();
    if (changed && !field_->hasFocus()) fillField();
}

void SlideDistancePicker::edit(SlideDistance selection) {
    if (selection == selection_) return;
    // The owner answers with setSelection, or leaves the value as it was.
    Q_EMIT selectionEdited(selection);
}

void SlideDistancePicker::commitField() {
    const QPointer<SlideDistancePicker> self(this);
    if (const auto percent = parsePercent(field_->text())) edit(SlideDistance::clamped(*percent));
    if (self) fillField();
}

void SlideDistancePicker::syncSlider() {
    // A stored value outside the range rests the slider at its nearest end.
    const QSignalBlocker blocker(slider_);
    slider_->setValue(std::clamp(selection_.percent, SlideDistance::minimumPercent, SlideDistance::maximumPercent));
}

void SlideDistancePicker::fillField() { field_->setText(QString::number(selection_.percent)); }

void SlideDistancePicker::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fillField();
}

bool SlideDistancePicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::FocusOut) commitField();
    return QWidget::eventFilter(watched, event);
}

}  // namespace glidra
