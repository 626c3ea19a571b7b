#include "views/pages/ControlSettingsView.h"

#include "actions/GestureAction.h"
#include "platform/AccessibilityTrust.h"
#include "platform/ScenePhase.h"
#include "settings/ControlSettings.h"
#include "trackpad/TrackpadController.h"
#include "trackpad/TypingActivityMonitor.h"
#include "views/ViewContext.h"
#include "views/kit/CaptionLine.h"
#include "views/kit/GroupBox.h"
#include "views/kit/InputGrantList.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SwitchRow.h"
#include "views/kit/SymbolLabel.h"
#include "views/kit/SystemSettingsPanes.h"
#include "views/kit/WheelGuard.h"
#include "views/pages/BrowserVideoHelpView.h"
#include "views/pages/ConfigurationTransferView.h"
#include "views/pages/DesktopCompanionView.h"
#include "views/pages/DisabledApplicationsView.h"
#include "views/pages/Divider.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

constexpr int kColumnSpacing = 20;
constexpr int kSensitivityTitleWidth = 110;
constexpr int kSensitivityValueWidth = 36;

QHBoxLayout* row() {
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

}  // namespace

ControlSettingsView::ControlSettingsView(ViewContext& context, QWidget* parent)
    : QWidget(parent),
      context_(context),
      settings_(context.settings),
      controller_(context.controller),
      permissionGranted_(context.accessibilityTrust.isProcessTrusted()),
      keyboardsGranted_(context.accessibilityTrust.hasInputGrant(InputGrant::keyboards)),
      loginItem_(context.loginItems) {
    setObjectName(QStringLiteral("controlSettings"));
    loginItem_.refresh();

    column_ = new QVBoxLayout(this);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(kColumnSpacing);
    column_->addWidget(new ConfigurationTransferView(context_));
    column_->addWidget(buildTrackpadGroup());
    column_->addWidget(new DisabledApplicationsView(context_));
    column_->addWidget(buildHintsGroup());
    column_->addWidget(buildLaunchGroup());
    column_->addWidget(buildPermissionGroup());
    column_->addWidget(new DesktopCompanionView(context_.desktop));
    if (context_.makeUpdateSettings) {
        updates_ = context_.makeUpdateSettings();
        column_->addWidget(updates_);
    }
    column_->addStretch(1);

    syncConnection();
    syncRecognitionLevel();
    syncSensitivity();
    syncTypingProtection();
    syncHints();
    syncLoginItem();
    syncPermission();
    syncVideoGuide();
    connectObservers();
}

QWidget* ControlSettingsView::buildTrackpadGroup() {
    auto* group = new kit::GroupBox(tr("触控板"));
    group->setObjectName(QStringLiteral("trackpadGroup"));

    connection_ = new kit::SymbolLabel(QStringLiteral("rectangle.and.hand.point.up.left"), {});
    connection_->setObjectName(QStringLiteral("connectionStatus"));
    reconnect_ = new QPushButton(tr("重新连接触控板"));
    reconnect_->setObjectName(QStringLiteral("reconnect"));
    auto* connectionRow = row();
    connectionRow->addWidget(connection_, 1, Qt::AlignVCenter);
    connectionRow->addWidget(reconnect_, 0, Qt::AlignVCenter);
    group->contentLayout()->addLayout(connectionRow);
    group->addWidget(new kit::CaptionLine(tr("休眠唤醒或设备重新连接后自动恢复。控制无响应时，也可以手动重新连接。")));

    recognitionLevel_ = new EnumPicker<GestureRecognitionLevel>;
    recognitionLevel_->setObjectName(QStringLiteral("recognitionLevel"));
    group->addWidget(titledPicker(tr("手势识别"), recognitionLevel_));
    group->addWidget(new kit::CaptionLine(tr("容易误触选“稳健”；滑动费力选“灵敏”。下方灵敏度控制音量等变化快慢。")));

    auto* sensitivityTitle = new kit::StyledLabel(tr("滑动灵敏度"));
    sensitivityTitle->setFixedWidth(kSensitivityTitleWidth);
    sensitivity_ = new QSlider(Qt::Horizontal);
    sensitivity_->setObjectName(QStringLiteral("sensitivity"));
    sensitivity_->setAccessibleName(tr("滑动灵敏度"));
    sensitivity_->setRange(sensitivityMinimum, sensitivityMaximum);
    sensitivity_->setSingleStep(1);
    sensitivity_->setPageStep(1);
    kit::WheelGuard::guard(sensitivity_);
    sensitivityValue_ = new kit::StyledLabel;
    sensitivityValue_->setObjectName(QStringLiteral("sensitivityValue"));
    sensitivityValue_->setFixedWidth(kSensitivityValueWidth);
    sensitivityValue_->setAlignment(Qt::AlignCenter);
    auto* sensitivityRow = row();
    sensitivityRow->addWidget(sensitivityTitle, 0, Qt::AlignVCenter);
    sensitivityRow->addWidget(sensitivity_, 1, Qt::AlignVCenter);
    sensitivityRow->addWidget(sensitivityValue_, 0, Qt::AlignVCenter);
    group->contentLayout()->addLayout(sensitivityRow);

    group->addWidget(divider());
    typingProtection_ = new kit::SwitchRow(tr("打字防误触"));
    typingProtection_->setObjectName(QStringLiteral("typingProtectionEnabled"));
    group->addWidget(typingProtection_);
    group->addWidget(new kit::CaptionLine(
        tr("打字时暂停自定义手势和边缘控制，停下约 0.6 秒并抬手后恢复。系统点击和光标移动不受影响。")));
    typingPermissionWarning_ = new kit::CaptionLine(tr("跨应用防误触需要键盘权限，可在下方授权。"));
    typingPermissionWarning_->setObjectName(QStringLiteral("typingPermissionWarning"));
    group->addWidget(typingPermissionWarning_);
    return group;
}

QWidget* ControlSettingsView::buildHintsGroup() {
    auto* group = new kit::GroupBox(tr("操作提示"));
    group->setObjectName(QStringLiteral("hintsGroup"));
    showOperationHints_ = new kit::SwitchRow(tr("显示操作提示"));
    showOperationHints_->setObjectName(QStringLiteral("showOperationHints"));
    group->addWidget(showOperationHints_);
    operationHintPosition_ = new EnumPicker<HUDPosition>;
    operationHintPosition_->setObjectName(QStringLiteral("operationHintPosition"));
    operationHintPositionRow_ = titledPicker(tr("提示位置"), operationHintPosition_);
    group->addWidget(operationHintPositionRow_);
    group->addWidget(new kit::CaptionLine(tr("关闭后隐藏 Glidra 的浮动提示；系统自带提示不受影响。")));
    return group;
}

QWidget* ControlSettingsView::buildLaunchGroup() {
    auto* group = new kit::GroupBox(tr("启动"));
    group->setObjectName(QStringLiteral("launchGroup"));
    launchAtLogin_ = new QPushButton;
    launchAtLogin_->setObjectName(QStringLiteral("launchAtLogin"));
    auto* launchRow = row();
    launchRow->addWidget(new kit::StyledLabel(tr("登录时启动 Glidra")), 1, Qt::AlignVCenter);
    launchRow->addWidget(launchAtLogin_, 0, Qt::AlignVCenter);
    group->contentLayout()->addLayout(launchRow);
    loginItemMessage_ = new kit::CaptionLine;
    loginItemMessage_->setObjectName(QStringLiteral("loginItemMessage"));
    group->addWidget(loginItemMessage_);
    // The desktops have no pane of login items to open; the approval message
    // says how to switch the entry back on.
    return group;
}

QWidget* ControlSettingsView::buildPermissionGroup() {
    auto* group = new kit::GroupBox(tr("系统权限"));
    group->setObjectName(QStringLiteral("permissionGroup"));
    permissionStatus_ = new kit::SymbolLabel;
    permissionStatus_->setObjectName(QStringLiteral("permissionStatus"));
    auto* recheck = new QPushButton(tr("重新检查"));
    recheck->setObjectName(QStringLiteral("recheckPermission"));
    auto* statusRow = row();
    statusRow->addWidget(permissionStatus_, 1, Qt::AlignVCenter);
    statusRow->addWidget(recheck, 0, Qt::AlignVCenter);
    if (kit::canOpenSystemSettingsPane(kit::SystemSettingsPane::accessibility)) {
        auto* openSettings = new QPushButton(tr("系统设置"));
        openSettings->setObjectName(QStringLiteral("openPermissionSettings"));
        statusRow->addWidget(openSettings, 0, Qt::AlignVCenter);
        connect(openSettings, &QPushButton::clicked, this, [this] { openAccessibilitySettings(context_.workspace); });
    }
    group->contentLayout()->addLayout(statusRow);
    inputService_ = new kit::CaptionLine;
    inputService_->setObjectName(QStringLiteral("inputServiceStatus"));
    group->addWidget(inputService_);
    group->addWidget(
        new kit::CaptionLine(tr("手势本身需要触控板权限；发送快捷键、鼠标点击和滚动还需要虚拟输入设备权限，"
                                "修饰键、打字防误触和键盘锁定还需要键盘权限。")));
    // Each grant on its own: whether it is there, what it adds, its command.
    inputGrants_ = new kit::InputGrantList(context_.accessibilityTrust);
    group->addWidget(inputGrants_);

    // Without a pane to open, the way to grant the access stands here.
    permissionMissingHelp_ = new QWidget;
    permissionMissingHelp_->setObjectName(QStringLiteral("permissionMissingHelp"));
    auto* help = new QVBoxLayout(permissionMissingHelp_);
    help->setContentsMargins(0, 0, 0, 0);
    help->setSpacing(kit::GroupBox::spacing);
    permissionInstruction_ = new kit::CaptionLine;
    permissionInstruction_->setObjectName(QStringLiteral("permissionInstruction"));
    help->addWidget(permissionInstruction_);
    help->addWidget(new kit::CaptionLine(tr("授权后仍不可用？确认已注销并重新登录，然后重新检查。")));
    group->addWidget(permissionMissingHelp_);

    connect(recheck, &QPushButton::clicked, this, &ControlSettingsView::recheckPermission);
    return group;
}

void ControlSettingsView::connectObservers() {
    // User actions, each passing the whole value.
    connect(reconnect_, &QPushButton::clicked, &controller_, &TrackpadController::reconnect);
    recognitionLevel_->onChosen(this, [this](GestureRecognitionLevel level) { settings_.setRecognitionLevel(level); });
    connect(sensitivity_, &QSlider::valueChanged, this,
            [this](int tenths) { settings_.setSensitivity(tenths / 10.0); });
    connect(typingProtection_, &kit::SwitchRow::clicked, &settings_, &ControlSettings::setTypingProtectionEnabled);
    connect(showOperationHints_, &kit::SwitchRow::clicked, &settings_, &ControlSettings::setShowOperationHints);
    operationHintPosition_->onChosen(this,
                                     [this](HUDPosition position) { settings_.setOperationHintPosition(position); });
    connect(launchAtLogin_, &QPushButton::clicked, &loginItem_, &LoginItemController::toggle);

    // Shown state, and the controller kept up to date. The settings notify
    // only real changes, so nothing here runs on first display.
    connect(&controller_, &TrackpadController::isEnabledChanged, this, &ControlSettingsView::syncConnection);
    connect(&controller_, &TrackpadController::isListeningChanged, this, &ControlSettingsView::syncConnection);
    connect(&settings_, &ControlSettings::typingProtectionEnabledChanged, this, [this] {
        syncTypingProtection();
        controller_.typingMonitor().resetPolicy();
        controller_.resetGestureState();
    });
    connect(&settings_, &ControlSettings::recognitionLevelChanged, this, [this] {
        syncRecognitionLevel();
        controller_.resetGestureState();
    });
    // The page is the context: each visit builds a new one, and a closed page
    // leaves no reaction behind.
    connect(&settings_, &ControlSettings::disabledApplicationsChanged, this,
            [this] { controller_.resetGestureState(); });
    connect(&settings_, &ControlSettings::showOperationHintsChanged, this, [this] {
        syncHints();
        if (!settings_.showOperationHints()) controller_.hud().hide();
    });
    connect(&settings_, &ControlSettings::operationHintPositionChanged, this, [this] {
        syncHints();
        controller_.previewHintPosition();
    });
    connect(&settings_, &ControlSettings::edgeWidthChanged, this, [this] { controller_.resetGestureState(); });
    connect(&settings_, &ControlSettings::sensitivityChanged, this, [this] {
        syncSensitivity();
        controller_.resetGestureState();
    });
    connect(&settings_, &ControlSettings::rulesChanged, this, &ControlSettingsView::syncVideoGuide);
    connect(&settings_, &ControlSettings::bindingsChanged, this, &ControlSettingsView::syncVideoGuide);
    connect(&loginItem_, &LoginItemController::isRegisteredChanged, this, &ControlSettingsView::syncLoginItem);
    connect(&loginItem_, &LoginItemController::messageChanged, this, &ControlSettingsView::syncLoginItem);
    connect(&context_.scenePhase, &ScenePhase::phaseChanged, this, [this](ScenePhase::Phase phase) {
        if (phase != ScenePhase::Phase::active) return;
        installGlobalTypingMonitor();
        loginItem_.refresh();
        recheckPermission();
    });
}

void ControlSettingsView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LocaleChange) syncSensitivity();
}

bool ControlSettingsView::usesVideoScrubbing(const ControlSettings& settings) {
    const auto scrubs = [](const auto& item) { return item.action == GestureAction::scrubVideo; };
    return std::ranges::any_of(settings.bindings(), scrubs) || std::ranges::any_of(settings.rules(), scrubs);
}

void ControlSettingsView::syncConnection() {
    connection_->setText(controller_.isListening() ? tr("触控板已连接") : controller_.menuStatusText());
    reconnect_->setEnabled(controller_.isEnabled());
}

void ControlSettingsView::syncRecognitionLevel() { recognitionLevel_->setValue(settings_.recognitionLevel()); }

void ControlSettingsView::syncSensitivity() {
    // A stored value off the grid (from an import) shows rounded and stays.
    const double value = settings_.sensitivity();
    const long tenths = std::isfinite(value) ? std::lround(value * 10) : sensitivityMinimum;
    {
        const QSignalBlocker blocker(sensitivity_);
        sensitivity_->setValue(int(std::clamp<long>(tenths, sensitivityMinimum, sensitivityMaximum)));
    }
    sensitivityValue_->setText(QLocale().toString(value, 'f', 1));
}

void ControlSettingsView::syncTypingProtection() {
    typingProtection_->setChecked(settings_.typingProtectionEnabled());
    typingPermissionWarning_->setVisible(settings_.typingProtectionEnabled() && !keyboardsGranted_);
}

void ControlSettingsView::syncHints() {
    showOperationHints_->setChecked(settings_.showOperationHints());
    operationHintPosition_->setValue(settings_.operationHintPosition());
    operationHintPositionRow_->setVisible(settings_.showOperationHints());
}

void ControlSettingsView::syncLoginItem() {
    launchAtLogin_->setText(loginItem_.isRegistered() ? tr("关闭开机启动") : tr("开启开机启动"));
    loginItemMessage_->setText(loginItem_.message());
}

void ControlSettingsView::syncPermission() {
    permissionStatus_->setSymbol(permissionGranted_ ? QStringLiteral("checkmark.circle") : QStringLiteral("keyboard"));
    permissionStatus_->setText(permissionGranted_ ? tr("输入设备已授权") : tr("输入设备未授权"));
    syncInputService();
    permissionMissingHelp_->setVisible(!permissionGranted_);
    syncTypingProtection();
}

void ControlSettingsView::syncInputService() {
    const InputService service = context_.accessibilityTrust.inputService();
    inputService_->setText(kit::inputServiceStatus(service));
    permissionInstruction_->setText(kit::inputRulesInstruction(service));
}

void ControlSettingsView::syncVideoGuide() {
    const bool shown = usesVideoScrubbing(settings_);
    if (shown && !videoHelp_) {
        videoHelp_ = new BrowserVideoHelpView(context_.workspace);
        // Before the update section, which stays last; before the stretch
        // when there is none.
        column_->insertWidget(updates_ ? column_->indexOf(updates_) : column_->count() - 1, videoHelp_);
    } else if (!shown && videoHelp_) {
        videoHelp_->hide();
        videoHelp_->setParent(nullptr);
        videoHelp_->deleteLater();
        videoHelp_ = nullptr;
    }
}

void ControlSettingsView::recheckPermission() {
    // The grants first: a change of the trust shows them as they are now.
    keyboardsGranted_ = context_.accessibilityTrust.hasInputGrant(InputGrant::keyboards);
    inputGrants_->refresh();
    syncInputService();
    syncTypingProtection();
    setPermissionGranted(context_.accessibilityTrust.isProcessTrusted());
}

void ControlSettingsView::setPermissionGranted(bool granted) {
    if (permissionGranted_ == granted) return;
    permissionGranted_ = granted;
    syncPermission();
    installGlobalTypingMonitor();
}

void ControlSettingsView::installGlobalTypingMonitor() {
    if (controller_.isEnabled()) controller_.typingMonitor().installGlobalMonitor();
}

}  // namespace glidra
