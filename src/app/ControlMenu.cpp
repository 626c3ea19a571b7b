#include "app/ControlMenu.h"

#include "app/UiContext.h"
#include "executors/DesktopIconsController.h"
#include "executors/KeepAwakeController.h"
#include "executors/KeyboardLockController.h"
#include "executors/MicrophoneMuteController.h"
#include "trackpad/TrackpadController.h"

#include <QMenu>

namespace glidra {

ControlMenu::ControlMenu(UiContext& context, std::function<void()> openSettings, std::function<void()> quit,
                         QObject* parent)
    : QObject(parent), context_(context), menu_(new QMenu) {
    menu_->setObjectName(QStringLiteral("controlMenu"));
    auto& controller = context_.controller;
    addItem(QStringLiteral("openSettings"), tr("打开设置"), std::move(openSettings));
    reconnect_ = addItem(QStringLiteral("reconnect"), tr("连接触控板"), [&controller] { controller.reconnect(); });
    pause_ = addItem(QStringLiteral("pauseControl"), tr("暂停控制"), [&controller] { controller.toggleEnabled(); });
    // The notices these return are not shown: the menu is its own feedback.
    unlockKeyboard_ =
        addItem(QStringLiteral("unlockKeyboard"), tr("解锁键盘"), [this] { context_.keyboardLock.unlock(); });
    disableKeepAwake_ = addItem(QStringLiteral("disableKeepAwake"), tr("关闭保持唤醒"),
                                [this] { (void)context_.keepAwake.setActive(false); });
    restoreMicrophone_ =
        addItem(QStringLiteral("restoreMicrophone"), tr("恢复麦克风"), [this] { (void)context_.microphone.restore(); });
    showDesktopIcons_ = addItem(QStringLiteral("showDesktopIcons"), tr("显示桌面图标"),
                                [this] { (void)context_.desktopIcons.toggle(); });
    menu_->addSeparator()->setObjectName(QStringLiteral("separator"));
    addItem(QStringLiteral("quit"), tr("退出 Glidra"), std::move(quit));

    sync();
    connect(&controller, &TrackpadController::connectionStateChanged, this, &ControlMenu::sync);
    connect(&controller, &TrackpadController::isEnabledChanged, this, &ControlMenu::sync);
    connect(&context_.keyboardLock, &KeyboardLockController::isLockedChanged, this, &ControlMenu::sync);
    connect(&context_.keepAwake, &KeepAwakeController::isActiveChanged, this, &ControlMenu::sync);
    connect(&context_.microphone, &MicrophoneMuteController::isActiveChanged, this, &ControlMenu::sync);
    connect(&context_.desktopIcons, &DesktopIconsController::isHiddenChanged, this, &ControlMenu::sync);
}

ControlMenu::~ControlMenu() { delete menu_; }

QAction* ControlMenu::addItem(const QString& name, const QString& text, std::function<void()> action) {
    auto* item = menu_->addAction(text);
    item->setObjectName(name);
    connect(item, &QAction::triggered, this, [action = std::move(action)] { action(); });
    return item;
}

void ControlMenu::sync() {
    const auto state = context_.controller.connectionState();
    const bool connected = state == TrackpadConnectionState::idle || state == TrackpadConnectionState::active;
    reconnect_->setVisible(!connected);
    pause_->setVisible(context_.controller.isEnabled());
    unlockKeyboard_->setVisible(context_.keyboardLock.isLocked());
    disableKeepAwake_->setVisible(context_.keepAwake.isActive());
    // The item follows whether a restore is owed, not whether the device is
    // still silent (the icon's dot follows that).
    restoreMicrophone_->setVisible(context_.microphone.isActive());
    showDesktopIcons_->setVisible(context_.desktopIcons.isHidden());
}

QStringList ControlMenu::visibleItems() const {
    QStringList names;
    for (auto* action : menu_->actions()) {
        if (action->isVisible()) names << action->objectName();
    }
    return names;
}

QAction* ControlMenu::item(const QString& name) const {
    for (auto* action : menu_->actions()) {
        if (action->objectName() == name) return action;
    }
    return nullptr;
}

}  // namespace glidra
