#include "settings/LoginItemController.h"

#include "common/Localized.h"

namespace glidra {

LoginItemController::LoginItemController(LoginItems& loginItems, QObject* parent)
    : QObject(parent), loginItems_(loginItems) {}

void LoginItemController::refresh() {
    using Status = LoginItems::Status;
    const Status status = loginItems_.status();
    setIsRegistered(status == Status::enabled || status == Status::requiresApproval);
    setNeedsApproval(status == Status::requiresApproval);
    if (needsApproval_) {
        setMessage(localized(GLIDRA_TEXT("请在桌面的自启动设置中重新允许 Glidra，或先关闭再开启开机启动。")));
    } else if (status == Status::enabled) {
        setMessage(localized(GLIDRA_TEXT("已设置为登录时启动。")));
    } else {
        setMessage(localized(GLIDRA_TEXT("开机启动未开启。")));
    }
}

void LoginItemController::toggle() {
    const auto failure = isRegistered_ ? loginItems_.unregisterApp() : loginItems_.registerApp();
    refresh();
    if (failure) setMessage(localized(GLIDRA_TEXT("设置失败：")) + failure->description);
}

void LoginItemController::setIsRegistered(bool registered) {
    if (isRegistered_ == registered) return;
    isRegistered_ = registered;
    Q_EMIT isRegisteredChanged();
}

void LoginItemController::setNeedsApproval(bool needsApproval) {
    if (needsApproval_ == needsApproval) return;
    needsApproval_ = needsApproval;
    Q_EMIT needsApprovalChanged();
}

void LoginItemController::setMessage(QString message) {
    if (message_ == message) return;
    message_ = std::move(message);
    Q_EMIT messageChanged();
}

}  // namespace glidra
