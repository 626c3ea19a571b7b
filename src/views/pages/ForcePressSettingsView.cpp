#include "views/pages/ForcePressSettingsView.h"

#include "settings/ControlSettings.h"
#include "trackpad/TrackpadController.h"
#include "views/kit/CaptionLine.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>

namespace glidra {

ForcePressSettingsView::ForcePressSettingsView(ControlSettings& settings, TrackpadController& controller,
                                               QWidget* parent)
    : QWidget(parent),
      settings_(settings),
      controller_(controller),
      level_(new EnumPicker<ForcePressLevel>),
      progress_(new QProgressBar),
      noForceSensing_(new kit::CaptionLine(tr("尚未检测到力度感应。只报告接触面积的触控板无法触发重压。"))) {
    setObjectName(QStringLiteral("forcePressSettings"));
    level_->setObjectName(QStringLiteral("forcePressLevel"));
    progress_->setObjectName(QStringLiteral("pressureProgress"));
    progress_->setAccessibleName(tr("重压触发进度"));
    progress_->setRange(0, progressScale);
    progress_->setTextVisible(false);
    progress_->setFixedHeight(8);
    noForceSensing_->setObjectName(QStringLiteral("noForceSensing"));

    auto* progressRow = new QHBoxLayout;
    progressRow->setContentsMargins(0, 0, 0, 0);
    progressRow->addWidget(new kit::CaptionLine(tr("触发进度")), 0, Qt::AlignVCenter);
    progressRow->addWidget(progress_, 1, Qt::AlignVCenter);

    auto* help = new kit::CaptionLine(
        tr("需支持力度感应的触控板。按到满格触发一次，抬起所有手指后可再次触发。力度设置适用于所有重压手势。"));
    help->setObjectName(QStringLiteral("forcePressHelp"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addWidget(titledPicker(tr("重压触发力度"), level_));
    layout->addLayout(progressRow);
    layout->addWidget(help);
    layout->addWidget(noForceSensing_);

    syncLevel();
    syncProgress();
    syncForceSensing();
    connect(&settings_, &ControlSettings::forcePressLevelChanged, this, &ForcePressSettingsView::syncLevel);
    connect(&controller_, &TrackpadController::pressureProgressChanged, this, &ForcePressSettingsView::syncProgress);
    connect(&controller_, &TrackpadController::hasForcePressSignalChanged, this,
            &ForcePressSettingsView::syncForceSensing);
    level_->onChosen(this, [this](ForcePressLevel level) { settings_.setForcePressLevel(level); });
}

void ForcePressSettingsView::syncLevel() { level_->setValue(settings_.forcePressLevel()); }

void ForcePressSettingsView::syncProgress() {
    // The controller caps its value at 1; the bar never shows more than full.
    const double progress = controller_.pressureProgress();
    const double clamped = std::isfinite(progress) ? std::clamp(progress, 0.0, 1.0) : 0.0;
    progress_->setValue(int(std::lround(clamped * progressScale)));
}

void ForcePressSettingsView::syncForceSensing() {
    // Explains a bar that cannot fill on a touchpad without force sensing.
    noForceSensing_->setVisible(!controller_.hasForcePressSignal());
}

}  // namespace glidra
