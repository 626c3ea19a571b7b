#include "app/TrackpadSetupGuide.h"

#include "actions/GestureAction.h"
#include "app/TrackpadSetupNotice.h"
#include "app/UiContext.h"
#include "platform/AccessibilityTrust.h"
#include "platform/DesktopIntegration.h"
#include "settings/ControlSettings.h"
#include "trackpad/TrackpadController.h"
#include "trackpad/TypingActivityMonitor.h"
#include "views/kit/InputGrantList.h"
#include "views/kit/SystemSettingsPanes.h"

#include <QVBoxLayout>

namespace glidra {

TrackpadSetupGuide::TrackpadSetupGuide(UiContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("setupGuide"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    refreshPermission();

    auto& controller = context_.controller;
    auto& settings = context_.settings;
    connect(&controller, &TrackpadController::isEnabledChanged, this, &TrackpadSetupGuide::sync);
    // Access granted while the window stays in front shows itself as the
    // touchpad starting to be heard or the connection state moving on; the
    // access card then goes by itself.
    connect(&controller, &TrackpadController::isListeningChanged, this, &TrackpadSetupGuide::refreshPermission);
    connect(&controller, &TrackpadController::connectionStateChanged, this, &TrackpadSetupGuide::refreshPermission);
    connect(&settings, &ControlSettings::rulesChanged, this, &TrackpadSetupGuide::sync);
    connect(&settings, &ControlSettings::bindingsChanged, this, &TrackpadSetupGuide::sync);
    connect(&settings, &ControlSettings::locksPointerDuringEdgeAdjustmentsChanged, this, &TrackpadSetupGuide::sync);
    connect(&context_.desktop, &DesktopIntegration::changed, this, [this] {
        if (card_ != Card::accessibility) return;
        card_.reset();
        sync();
    });
    connect(&context_.scenePhase, &ScenePhase::phaseChanged, this, [this](ScenePhase::Phase phase) {
        if (phase == ScenePhase::Phase::active) refreshPermission();
    });
}

bool TrackpadSetupGuide::requiresAccessibilityPermission() const {
    for (const auto& rule : context_.settings.rules()) {
        if (rule.isEnabled && requiresAccessibility(rule.action)) return true;
    }
    // Bindings have no switch of their own: every stored one counts.
    for (const auto& binding : context_.settings.bindings()) {
        if (requiresAccessibility(binding.action)) return true;
    }
    return context_.settings.locksPointerDuringEdgeAdjustments();
}

void TrackpadSetupGuide::refreshPermission() {
    permissionGranted_ = context_.accessibilityTrust.isProcessTrusted();
    if (grants_) grants_->refresh();
    if (context_.controller.isEnabled()) context_.controller.typingMonitor().installGlobalMonitor();
    sync();
}

std::optional<TrackpadSetupGuide::Card> TrackpadSetupGuide::chooseCard() const {
    if (!context_.controller.isEnabled()) return Card::paused;
    // Without input access no touchpad can be read at all, so waiting for one
    // would send the user after the wrong fix.
    const bool listening = context_.controller.isListening();
    if (!permissionGranted_ && (!listening || requiresAccessibilityPermission())) return Card::accessibility;
    if (!listening) return Card::waitingForTrackpad;
    return std::nullopt;
}

QString TrackpadSetupGuide::waitingMessage() const {
    if (disconnectedTrackpad_) {
        return tr("已配对的蓝牙触控板“%1”尚未连接，可直接尝试连接。").arg(*disconnectedTrackpad_);
    }
    return tr("还没有找到触控板。笔记本的内置触控板无需配对；蓝牙触控板请先在系统的蓝牙设置中配对并连接。");
}

QString TrackpadSetupGuide::accessMessage() const {
    const QString grants = kit::inputGrantsInstruction(context_.accessibilityTrust.inputService());
    using Companion = DesktopIntegration::Companion;
    const Companion companion = context_.desktop.companion();
    if (companion == Companion::none || context_.desktop.isCompanionConnected()) return grants;
    // Granted access alone still leaves native Wayland windows unknown.
    return grants + QLatin1Char('\n') +
           (companion == Companion::gnomeShellExtension
                ? tr("原生 Wayland 窗口还需要 Glidra 的 GNOME Shell 扩展：启用方法见通用设置中的“桌面扩展”。")
                : tr("原生 Wayland 窗口还需要 Glidra 的 KWin 脚本：启用方法见通用设置中的“桌面扩展”。"));
}

void TrackpadSetupGuide::askForDisconnectedTrackpad() {
    context_.controller.pairedTrackpadConnector().findDisconnectedTrackpad(this, [this](std::optional<QString> name) {
        if (name == disconnectedTrackpad_) return;
        disconnectedTrackpad_ = std::move(name);
        if (card_ == Card::waitingForTrackpad && notice_) {
            card_.reset();
            sync();
        }
    });
}

void TrackpadSetupGuide::sync() {
    const auto card = chooseCard();
    // Paused without input access, the card says both at once: a newcomer
    // sees the commands before switching anything on.
    const bool grants = card == Card::accessibility || (card == Card::paused && !permissionGranted_);
    if (card == card_ && grants == showsGrants_ && (notice_ || !card)) return;
    card_ = card;
    showsGrants_ = grants;
    if (notice_) {
        notice_->hide();
        notice_->deleteLater();
        notice_ = nullptr;
    }
    if (!card) {
        setVisible(false);
        return;
    }
    auto reconnect = [this] { context_.controller.reconnect(); };
    switch (*card) {
        case Card::paused: {
            const QString message = tr("启用后即可使用自定义手势和边缘控制。");
            notice_ = new TrackpadSetupNotice(tr("触控板控制已暂停"),
                                              grants ? message + QLatin1Char('\n') + accessMessage() : message,
                                              QStringLiteral("pause.circle"), tr("启用触控板控制"), reconnect);
            break;
        }
        case Card::waitingForTrackpad:
            notice_ = new TrackpadSetupNotice(tr("等待触控板连接"), waitingMessage(),
                                              QStringLiteral("rectangle.and.hand.point.up.left"), tr("重新连接触控板"),
                                              reconnect);
            break;
        case Card::accessibility: {
            const bool hasPane = kit::canOpenSystemSettingsPane(kit::SystemSettingsPane::accessibility);
            notice_ = new TrackpadSetupNotice(tr("部分动作需要输入设备权限"), accessMessage(), QStringLiteral("lock"),
                                              hasPane ? std::optional(tr("打开权限设置")) : std::nullopt,
                                              [this] { openAccessibilitySettings(context_.workspace); });
            break;
        }
    }
    if (grants) {
        // Which grants are there, what each adds, and how to add it.
        grants_ = new kit::InputGrantList(context_.accessibilityTrust);
        notice_->setDetail(grants_);
    }
    notice_->setProperty("card", int(*card));
    layout()->addWidget(notice_);
    if (parentWidget()) setVisible(true);
    // The answer may come at once and rebuild the card: ask last.
    if (*card == Card::waitingForTrackpad) askForDisconnectedTrackpad();
}

}  // namespace glidra
