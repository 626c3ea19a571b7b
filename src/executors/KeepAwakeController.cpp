#include "executors/KeepAwakeController.h"

#include "common/Localized.h"

namespace glidra {

KeepAwakeController::KeepAwakeController(Create create, Release release, QObject* parent)
    : QObject(parent), create_(std::move(create)), release_(std::move(release)) {}

KeepAwakeController::KeepAwakeController(PowerAssertions& power, QObject* parent)
    : KeepAwakeController(
          [&power] { return power.preventIdleDisplaySleep(QStringLiteral("Glidra — Keep display and system awake")); },
          [&power](PowerAssertionId assertion) { return power.release(assertion); }, parent) {}

void KeepAwakeController::setAssertion(std::optional<PowerAssertionId> assertion) {
    assertion_ = assertion;
    const bool active = assertion.has_value();
    if (active == isActive_) return;
    isActive_ = active;
    Q_EMIT isActiveChanged();
}

HUDNotice KeepAwakeController::setActive(bool active) {
    const QString symbol = QStringLiteral("cup.and.saucer");
    if (active && !assertion_) {
        const auto created = create_();
        if (!created) return {localized(GLIDRA_TEXT("无法开启保持唤醒")), symbol, HUDNotice::Kind::error};
        setAssertion(created);
    } else if (!active && assertion_) {
        if (!release_(*assertion_)) {
            return {localized(GLIDRA_TEXT("未能关闭保持唤醒，请重试")), symbol, HUDNotice::Kind::error};
        }
        setAssertion(std::nullopt);
    }
    if (isActive_) {
        return {localized(GLIDRA_TEXT("保持唤醒已开启")), QStringLiteral("cup.and.saucer.fill"),
                HUDNotice::Kind::success};
    }
    return {localized(GLIDRA_TEXT("已恢复自动熄屏和休眠")), symbol, HUDNotice::Kind::success};
}

}  // namespace glidra
