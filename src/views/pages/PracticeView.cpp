#include "views/pages/PracticeView.h"

#include "gestures/GestureRegion.h"
#include "settings/ControlSettings.h"
#include "trackpad/GestureActivityPresenter.h"
#include "trackpad/TrackpadController.h"
#include "views/ViewContext.h"
#include "views/kit/CaptionLine.h"
#include "views/kit/GroupBox.h"
#include "views/kit/RoundedBox.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SwitchRow.h"
#include "views/kit/SymbolLabel.h"
#include "views/kit/SymbolView.h"
#include "views/kit/WheelGuard.h"
#include "views/pages/ForcePressSettingsView.h"
#include "views/pages/PracticeTrackpadView.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

namespace {
constexpr int kResultsMinimumHeight = 200;
}  // namespace

PracticeView::PracticeView(ViewContext& context, std::optional<QUuid> selectedRule, QWidget* parent)
    : QWidget(parent),
      settings_(context.settings),
      controller_(context.controller),
      selectedRuleID_(selectedRule),
      practiceMode_(new kit::SwitchRow(tr("练习模式"))),
      practiceTools_(new QWidget),
      rulePicker_(new QComboBox),
      trackpad_(new PracticeTrackpadView),
      lastRecognized_(new kit::StyledLabel({}, kit::TextStyle::title3)),
      status_(new kit::StyledLabel({}, kit::TextStyle::callout, kit::KitColour::secondary)),
      hint_(new kit::StyledLabel({}, kit::TextStyle::callout, kit::KitColour::secondary)),
      controlOff_(new kit::SymbolLabel(QStringLiteral("info.circle"), tr("请先点击右上角的播放图标，启用 Glidra。"))) {
    setObjectName(QStringLiteral("practice"));
    practiceMode_->setObjectName(QStringLiteral("practiceMode"));
    practiceTools_->setObjectName(QStringLiteral("practiceTools"));
    rulePicker_->setObjectName(QStringLiteral("selectedRuleID"));
    kit::WheelGuard::guard(rulePicker_);
    lastRecognized_->setObjectName(QStringLiteral("lastFreeformGesture"));
    lastRecognized_->setTextStyle(kit::TextStyle::title3, QFont::Medium);
    lastRecognized_->setAlignment(Qt::AlignCenter);
    status_->setObjectName(QStringLiteral("controlStatus"));
    status_->setAlignment(Qt::AlignCenter);
    status_->setWordWrap(true);
    hint_->setObjectName(QStringLiteral("practiceHint"));
    hint_->setWordWrap(true);
    controlOff_->setObjectName(QStringLiteral("controlOffNotice"));
    controlOff_->setTextStyle(kit::TextStyle::callout);
    controlOff_->setColour(kit::KitColour::secondary);

    auto* header = new kit::GroupBox;
    header->setObjectName(QStringLiteral("practiceHeader"));
    header->addWidget(practiceMode_);

    auto* pickerRow = new QHBoxLayout;
    pickerRow->setContentsMargins(0, 0, 0, 0);
    auto* pickerLabel = new kit::StyledLabel(tr("显示触发区域"));
    kit::labelField(pickerLabel, rulePicker_);
    pickerRow->addWidget(pickerLabel, 0, Qt::AlignVCenter);
    pickerRow->addWidget(rulePicker_, 1, Qt::AlignVCenter);
    auto* tools = new QVBoxLayout(practiceTools_);
    tools->setContentsMargins(0, 0, 0, 0);
    tools->setSpacing(20);
    tools->addLayout(pickerRow);
    tools->addWidget(trackpad_);
    tools->addWidget(
        new kit::CaptionLine(tr("蓝点是手指，橙点是起点。练习不会执行 Glidra 动作，系统手势仍可能响应。")));

    auto* results = new kit::RoundedBox(kit::KitColour::quaternary, 12);
    results->setObjectName(QStringLiteral("practiceResults"));
    results->setFillOpacity(0.5);
    results->setMinimumHeight(kResultsMinimumHeight);
    auto* symbol = new kit::SymbolView(QStringLiteral("hand.draw"), kit::KitColour::secondary);
    kit::setTextStyle(symbol, kit::TextStyle::largeTitle);
    auto* resultColumn = new QVBoxLayout(results);
    resultColumn->setContentsMargins(12, 12, 12, 12);
    resultColumn->setSpacing(16);
    resultColumn->addStretch(1);
    resultColumn->addWidget(symbol, 0, Qt::AlignHCenter);
    resultColumn->addWidget(lastRecognized_);
    resultColumn->addWidget(status_);
    resultColumn->addStretch(1);

    auto* pressure = new kit::GroupBox(tr("重压测试"));
    pressure->setObjectName(QStringLiteral("pressureTest"));
    pressure->addWidget(new ForcePressSettingsView(settings_, controller_));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(20);
    layout->addWidget(header);
    layout->addWidget(practiceTools_);
    layout->addWidget(results);
    layout->addWidget(pressure);
    layout->addWidget(hint_);
    layout->addWidget(controlOff_);

    syncPracticeMode();
    syncRules();
    syncRegion();
    syncActivity();
    syncResults();
    syncEnabled();

    // The switch is the only writer of practice mode, and only when the user
    // flips it: every assignment resets the controller's gesture state.
    connect(practiceMode_, &kit::SwitchRow::clicked, &controller_, &TrackpadController::setPracticeMode);
    connect(rulePicker_, &QComboBox::activated, this, [this](int index) {
        const QString id = rulePicker_->itemData(index).toString();
        setSelectedRuleID(id.isEmpty() ? std::nullopt : std::optional<QUuid>(QUuid(id)));
    });
    connect(&controller_, &TrackpadController::practiceModeChanged, this, &PracticeView::syncPracticeMode);
    connect(&controller_, &TrackpadController::isEnabledChanged, this, &PracticeView::syncEnabled);
    connect(&controller_, &TrackpadController::lastRecognizedGestureChanged, this, &PracticeView::syncResults);
    connect(&controller_, &TrackpadController::statusChanged, this, &PracticeView::syncResults);
    connect(&controller_.activity(), &GestureActivityPresenter::pointsChanged, this, &PracticeView::syncActivity);
    connect(&controller_.activity(), &GestureActivityPresenter::originChanged, this, &PracticeView::syncActivity);
    connect(&settings_, &ControlSettings::rulesChanged, this, [this] {
        syncRules();
        syncRegion();
    });
    connect(&settings_, &ControlSettings::edgeWidthChanged, this, &PracticeView::syncRegion);
}

void PracticeView::setSelectedRuleID(std::optional<QUuid> id) {
    selectedRuleID_ = id;
    syncRules();
    syncRegion();
}

std::optional<NormalizedRegionRect> PracticeView::selectedRegion(const ControlSettings& settings,
                                                                 std::optional<QUuid> ruleID) {
    if (!ruleID) return std::nullopt;
    const auto& rules = settings.rules();
    const auto rule = std::ranges::find(rules, *ruleID, &GestureRule::id);
    if (rule == rules.end()) return std::nullopt;
    const GestureRegion region = rule->region.value_or(GestureRegion::anywhere);
    if (region == GestureRegion::custom) return NormalizedRegionRect::intersection(rule->customRegionList());
    return glidra::rect(region, float(settings.edgeWidth()));
}

void PracticeView::syncPracticeMode() {
    const bool on = controller_.practiceMode();
    practiceMode_->setChecked(on);
    practiceTools_->setVisible(on);
    hint_->setText(on ? tr("练习模式已开启，仅显示结果，不执行动作。")
                      : tr("开启练习模式后，可测试手势而不执行动作。"));
}

void PracticeView::syncRules() {
    // Rebuilt from the list, keyed by rule id; the choice stays, and a rule
    // no longer listed leaves no row chosen.
    const QSignalBlocker blocker(rulePicker_);
    rulePicker_->clear();
    rulePicker_->addItem(tr("不显示区域"), QString());
    for (const auto& rule : settings_.rules()) {
        rulePicker_->addItem(rule.gesture.title() + QStringLiteral(" → ") + title(rule.action),
                             rule.id.toString(QUuid::WithoutBraces));
    }
    const QString selected = selectedRuleID_ ? selectedRuleID_->toString(QUuid::WithoutBraces) : QString();
    rulePicker_->setCurrentIndex(rulePicker_->findData(selected));
}

void PracticeView::syncRegion() { trackpad_->setRegion(selectedRegion(settings_, selectedRuleID_)); }

void PracticeView::syncActivity() {
    trackpad_->setPoints(controller_.activity().points());
    trackpad_->setOrigin(controller_.activity().origin());
}

void PracticeView::syncResults() {
    lastRecognized_->setText(controller_.lastRecognizedGesture());
    status_->setText(controller_.status());
}

void PracticeView::syncEnabled() { controlOff_->setVisible(!controller_.isEnabled()); }

}  // namespace glidra
