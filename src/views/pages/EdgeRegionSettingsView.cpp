#include "views/pages/EdgeRegionSettingsView.h"

#include "settings/ControlSettings.h"
#include "trackpad/TrackpadController.h"
#include "views/kit/CaptionLine.h"
#include "views/kit/GroupBox.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SwitchRow.h"
#include "views/kit/WheelGuard.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLocale>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {
constexpr int kValueWidth = 38;
}  // namespace

EdgeRegionSettingsView::EdgeRegionSettingsView(ControlSettings& settings, TrackpadController& controller,
                                               QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      controller_(controller),
      edgeWidth_(new QSlider(Qt::Horizontal)),
      edgeWidthValue_(new kit::StyledLabel),
      locksPointer_(new kit::SwitchRow(tr("边缘调亮度或音量时固定指针"))) {
    setObjectName(QStringLiteral("edgeRegionSettings"));
    edgeWidth_->setObjectName(QStringLiteral("edgeWidth"));
    edgeWidth_->setAccessibleName(tr("边缘触发区域宽度"));
    edgeWidth_->setRange(widthMinimum, widthMaximum);
    edgeWidth_->setSingleStep(1);
    edgeWidth_->setPageStep(1);
    kit::WheelGuard::guard(edgeWidth_);
    edgeWidthValue_->setObjectName(QStringLiteral("edgeWidthValue"));
    edgeWidthValue_->setFixedWidth(kValueWidth);
    edgeWidthValue_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    locksPointer_->setObjectName(QStringLiteral("locksPointerDuringEdgeAdjustments"));

    auto* group = new kit::GroupBox(tr("触发区域"));
    group->contentLayout()->setSpacing(10);
    auto* widthRow = new QHBoxLayout;
    widthRow->setContentsMargins(0, 0, 0, 0);
    widthRow->setSpacing(16);
    widthRow->addWidget(new kit::StyledLabel(tr("边缘宽度")), 0, Qt::AlignVCenter);
    widthRow->addWidget(edgeWidth_, 1, Qt::AlignVCenter);
    widthRow->addWidget(edgeWidthValue_, 0, Qt::AlignVCenter);
    group->contentLayout()->addLayout(widthRow);
    group->addWidget(new kit::CaptionLine(tr("数值越小，越需要靠近边缘开始滑动。")));
    group->addWidget(locksPointer_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group);

    syncWidth();
    syncPointerLock();
    connect(edgeWidth_, &QSlider::valueChanged, this,
            [this](int hundredths) { settings_.setEdgeWidth(hundredths / 100.0); });
    connect(locksPointer_, &kit::SwitchRow::clicked, &settings_,
            &ControlSettings::setLocksPointerDuringEdgeAdjustments);
    // Only later changes reach the controller, never the first display.
    connect(&settings_, &ControlSettings::edgeWidthChanged, this, [this] {
        syncWidth();
        controller_.resetGestureState();
    });
    connect(&settings_, &ControlSettings::locksPointerDuringEdgeAdjustmentsChanged, this, [this] {
        syncPointerLock();
        controller_.resetGestureState();
    });
}

void EdgeRegionSettingsView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LocaleChange) syncWidth();
}

void EdgeRegionSettingsView::syncWidth() {
    // A stored width off the slider's range (from an import) shows its own
    // percentage while the slider rests at its end; nothing is written.
    const double width = settings_.edgeWidth();
    const long hundredths = std::isfinite(width) ? std::lround(width * 100) : widthMinimum;
    {
        const QSignalBlocker blocker(edgeWidth_);
        edgeWidth_->setValue(int(std::clamp<long>(hundredths, widthMinimum, widthMaximum)));
    }
    const QLocale locale;
    edgeWidthValue_->setText(locale.toString(width * 100, 'f', 0) + locale.percent());
}

void EdgeRegionSettingsView::syncPointerLock() {
    locksPointer_->setChecked(settings_.locksPointerDuringEdgeAdjustments());
}

}  // namespace glidra
