#include "executors/KeepAwakeController.h"

#include "common/Localized.h"

#include <QPointer>

namespace glidra {

namespace {

const QString kSymbol = QStringLiteral("cup.and.saucer");

HUDNotice cannotEnable() { return {localized(GLIDRA_TEXT("无法开启保持唤醒")), kSymbol, HUDNotice::Kind::error}; }

HUDNotice cannotDisable() {
    return {localized(GLIDRA_TEXT("未能关闭保持唤醒，请重试")), kSymbol, HUDNotice::Kind::error};
}

}  // namespace

KeepAwakeController::KeepAwakeController(Create create, Release release, QObject* parent)
    : QObject(parent), create_(std::move(create)), release_(std::move(release)) {}

KeepAwakeController::KeepAwakeController(PowerAssertions& power, QObject* parent)
    : KeepAwakeController(
          [&power] { return power.preventIdleDisplaySleep(QStringLiteral("Glidra — Keep display and system awake")); },
          [&power](PowerAssertionId assertion) { return power.release(assertion); }, parent) {}

// The requests still in line end without changing anything.
KeepAwakeController::~KeepAwakeController() {
    for (const Completion<bool>& turn : std::exchange(waiting_, {})) turn.resolve(false);
}

void KeepAwakeController::setAssertion(std::optional<PowerAssertionId> assertion) {
    assertion_ = assertion;
    const bool active = assertion.has_value();
    if (active == isActive_) return;
    isActive_ = active;
    Q_EMIT isActiveChanged();
}

void KeepAwakeController::passTurn() {
    if (waiting_.empty()) {
        busy_ = false;
        return;
    }
    // Straight to the next in line, so a request made meanwhile queues
    // behind it.
    const Completion<bool> next = waiting_.front();
    waiting_.pop_front();
    next.resolve(true);
}

QCoro::Task<HUDNotice> KeepAwakeController::setActive(bool active) { return change(active); }

QCoro::Task<HUDNotice> KeepAwakeController::toggle() { return change(std::nullopt); }

QCoro::Task<HUDNotice> KeepAwakeController::change(std::optional<bool> wanted) {
    const QPointer<KeepAwakeController> self(this);
    if (busy_) {
        const Completion<bool> turn;
        waiting_.push_back(turn);
        co_await turn;
        if (!self) co_return wanted.value_or(true) ? cannotEnable() : cannotDisable();
    }
    busy_ = true;

    const bool active = wanted.value_or(!isActive_);
    std::optional<HUDNotice> failure;
    if (active && !assertion_) {
        // Kept here: an assertion granted after the controller went is given
        // back, not left held by nobody.
        const Release release = release_;
        auto creating = create_();
        const auto created = co_await creating;
        if (!self) {
            if (created) {
                auto releasing = release(*created);
                Q_UNUSED(releasing);
            }
            co_return cannotEnable();
        }
        if (created) {
            setAssertion(created);
        } else {
            failure = cannotEnable();
        }
    } else if (!active && assertion_) {
        auto releasing = release_(*assertion_);
        const bool released = co_await releasing;
        if (!self) co_return cannotDisable();
        if (released) {
            setAssertion(std::nullopt);
        } else {
            failure = cannotDisable();
        }
    }
    if (self) passTurn();
    if (failure) co_return *failure;
    if (active)
        co_return HUDNotice{localized(GLIDRA_TEXT("保持唤醒已开启")), QStringLiteral("cup.and.saucer.fill"),
                            HUDNotice::Kind::success};
    co_return HUDNotice{localized(GLIDRA_TEXT("已恢复自动熄屏和休眠")), kSymbol, HUDNotice::Kind::success};
}

}  // namespace glidra
