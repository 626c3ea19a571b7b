#include "views/rules/GestureCaptureStepView.h"

#include "platform/DesktopIntegration.h"
#include "views/ViewContext.h"
#include "views/kit/CaptionLine.h"
#include "views/kit/GroupBox.h"
#include "views/kit/ProminentButton.h"
#include "views/kit/RoundedBox.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolView.h"
#include "views/kit/WheelGuard.h"
#include "views/pages/ForcePressSettingsView.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace glidra {

namespace {

using Kind = GestureDescriptor::Kind;
using Direction = GestureDescriptor::Direction;

constexpr qint64 tapCounts[] = {1, 2, 3};

// The note under a pinch, sending the user to the running desktop's own
// touchpad settings by their name there.
QString pinchNote(SystemGestureDesktop desktop) {
    switch (desktop) {
        case SystemGestureDesktop::gnome:
            return GestureCaptureStepView::tr(
                "支持双指、三指、四指。若同时触发系统手势，可在设置 → 鼠标和触摸板中调整。");
        case SystemGestureDesktop::plasmaWayland:
            return GestureCaptureStepView::tr(
                "支持双指、三指、四指。若同时触发系统手势，可在系统设置 → 输入设备 → 触摸板中调整。");
        case SystemGestureDesktop::withoutGestures:
        case SystemGestureDesktop::unknown:
            break;
    }
    return GestureCaptureStepView::tr("支持双指、三指、四指。若同时触发系统手势，可在桌面的触控板设置中调整。");
}

// Selects the option tagged with `value`, or none.
void select(QComboBox* picker, const QVariant& value) { picker->setCurrentIndex(picker->findData(value)); }

}  // namespace

GestureCaptureStepView::GestureCaptureStepView(ViewContext& context, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("captureStep"));
    forcePress_ = new ForcePressSettingsView(context.settings, context.controller);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(24);
    layout->addWidget(buildRecordPanel());
    layout->addWidget(forcePress_);
    layout->addWidget(buildManualPicker(context.desktop.gestureDesktop()));

    sync();
    kit::WheelGuard::guardAllIn(this);

    connect(record_, &QPushButton::clicked, this, &GestureCaptureStepView::recordClicked);
    // Each picker reports the whole gesture with its own field changed.
    const auto onPicked = [this](QComboBox* picker, void (*apply)(GestureDescriptor&, const QVariant&)) {
        connect(picker, &QComboBox::activated, this, [this, picker, apply](int index) {
            GestureDescriptor edited = gesture_;
            apply(edited, picker->itemData(index));
            Q_EMIT gestureEdited(edited);
        });
    };
    onPicked(kind_, [](GestureDescriptor& g, const QVariant& v) { g.kind = *enumFromRaw<Kind>(v.toString()); });
    onPicked(fingers_, [](GestureDescriptor& g, const QVariant& v) { g.fingers = v.toLongLong(); });
    onPicked(direction_,
             [](GestureDescriptor& g, const QVariant& v) { g.direction = *enumFromRaw<Direction>(v.toString()); });
    onPicked(tapCount_, [](GestureDescriptor& g, const QVariant& v) { g.tapCount = v.toLongLong(); });
}

QWidget* GestureCaptureStepView::buildRecordPanel() {
    auto* panel = new kit::RoundedBox(kit::KitColour::quaternaryFill, 16);
    panel->setObjectName(QStringLiteral("recordPanel"));
    panel->setFillOpacity(0.5);
    panel->setMinimumHeight(200);

    symbol_ = new kit::SymbolView;
    symbol_->setObjectName(QStringLiteral("recordSymbol"));
    symbol_->setFont(kit::font(kit::TextStyle::largeTitle));
    symbol_->setFixedSize(40, 40);
    title_ = new kit::StyledLabel;
    title_->setObjectName(QStringLiteral("recordTitle"));
    title_->setTextStyle(kit::TextStyle::title3, QFont::Bold);
    title_->setAlignment(Qt::AlignHCenter);
    detail_ = new kit::StyledLabel({}, kit::TextStyle::body, kit::KitColour::secondary);
    detail_->setObjectName(QStringLiteral("recordDetail"));
    detail_->setAlignment(Qt::AlignHCenter);
    record_ = new QPushButton;
    record_->setObjectName(QStringLiteral("record"));
    record_->setAutoDefault(false);
    record_->setMinimumHeight(32);
    kit::makeProminent(record_);

    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(16, 20, 16, 20);
    layout->setSpacing(16);
    layout->addStretch(1);
    layout->addWidget(symbol_, 0, Qt::AlignHCenter);
    layout->addWidget(title_, 0, Qt::AlignHCenter);
    layout->addWidget(detail_, 0, Qt::AlignHCenter);
    layout->addWidget(record_, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    return panel;
}

QWidget* GestureCaptureStepView::pickerRow(const QString& title, QComboBox* picker) {
    auto* row = new QWidget;
    auto* label = new kit::StyledLabel(title);
    kit::labelField(label, picker);
    picker->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    layout->addWidget(picker, 0, Qt::AlignVCenter);
    return row;
}

QWidget* GestureCaptureStepView::buildManualPicker(SystemGestureDesktop desktop) {
    auto* group = new kit::GroupBox(tr("手动选择"));
    group->setObjectName(QStringLiteral("manualPicker"));
    group->contentLayout()->setContentsMargins(kit::GroupBox::inset, 16, kit::GroupBox::inset, kit::GroupBox::inset);

    kind_ = new QComboBox;
    kind_->setObjectName(QStringLiteral("kind"));
    for (const Kind kind : enumAllCases<Kind>()) kind_->addItem(title(kind), enumRaw(kind));
    fingers_ = new QComboBox;
    fingers_->setObjectName(QStringLiteral("fingers"));
    direction_ = new QComboBox;
    direction_->setObjectName(QStringLiteral("direction"));
    for (const Direction direction : enumAllCases<Direction>())
        direction_->addItem(title(direction), enumRaw(direction));
    tapCount_ = new QComboBox;
    tapCount_->setObjectName(QStringLiteral("tapCount"));
    for (const qint64 count : tapCounts) tapCount_->addItem(tr("%1 下").arg(count), count);

    clickNote_ = new kit::CaptionLine(tr("按下触控板后松开，与手指轻碰一下的“轻点”分开设置。"));
    clickNote_->setObjectName(QStringLiteral("clickNote"));
    pinchNote_ = new kit::CaptionLine(pinchNote(desktop));
    pinchNote_->setObjectName(QStringLiteral("pinchNote"));

    directionRow_ = pickerRow(tr("往哪个方向"), direction_);
    tapCountRow_ = pickerRow(tr("轻点几下"), tapCount_);
    auto* content = group->contentLayout();
    content->addWidget(pickerRow(tr("想做什么手势"), kind_));
    content->addWidget(pickerRow(tr("用几根手指"), fingers_));
    content->addWidget(clickNote_);
    content->addWidget(pinchNote_);
    content->addWidget(directionRow_);
    content->addWidget(tapCountRow_);
    return group;
}

void GestureCaptureStepView::setState(const GestureDescriptor& gesture, bool hasGesture, bool isListening) {
    gesture_ = gesture;
    hasGesture_ = hasGesture;
    isListening_ = isListening;
    sync();
}

void GestureCaptureStepView::sync() {
    symbol_->setSymbol(hasGesture_ ? QStringLiteral("checkmark.circle") : QStringLiteral("hand.draw"));
    symbol_->setColour(hasGesture_ ? kit::KitColour::accent : kit::KitColour::secondary);
    if (isListening_) {
        title_->setText(tr("请在触控板上做手势"));
        detail_->setText(tr("识别后自动进入动作选择。"));
        record_->setText(tr("停止录入"));
    } else {
        title_->setText(hasGesture_ ? gesture_.title() : tr("录入你的手势"));
        detail_->setText(tr("轻点、单击、滑动都可以。"));
        record_->setText(hasGesture_ ? tr("重新录入") : tr("开始录入"));
    }
    forcePress_->setVisible(isListening_ || gesture_.kind == Kind::forcePress);

    const QSignalBlocker kindBlocker(kind_), fingerBlocker(fingers_), directionBlocker(direction_),
        tapBlocker(tapCount_);
    select(kind_, enumRaw(gesture_.kind));
    fingers_->clear();
    for (const qint64 count : allowedFingerCounts(gesture_.kind)) fingers_->addItem(tr("%1 根").arg(count), count);
    select(fingers_, gesture_.fingers);
    fingers_->setEnabled(!isTwoFingerOnly(gesture_.kind));
    select(direction_, enumRaw(gesture_.direction));
    select(tapCount_, gesture_.tapCount);

    clickNote_->setVisible(gesture_.kind == Kind::click);
    pinchNote_->setVisible(gesture_.kind == Kind::pinchIn || gesture_.kind == Kind::pinchOut);
    directionRow_->setVisible(usesDirection(gesture_.kind));
    tapCountRow_->setVisible(gesture_.kind == Kind::tap);
}

}  // namespace glidra
