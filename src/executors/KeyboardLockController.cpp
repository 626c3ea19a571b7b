#include "executors/KeyboardLockController.h"

#include "common/Localized.h"
#include "platform/SystemEvents.h"

namespace glidra {

namespace {
using Type = InputEvent::Type;

HUDNotice cleaningStarted() {
    return {localized(GLIDRA_TEXT("清洁模式已开启，30 秒内自动恢复")), QStringLiteral("sparkles"),
            HUDNotice::Kind::success};
}
}  // namespace

const EventTap::EventMask KeyboardLockController::kKeyboardMask =
    EventTap::maskOf({Type::keyDown, Type::keyUp, Type::flagsChanged});
const EventTap::EventMask KeyboardLockController::kCleaningMask =
    kKeyboardMask |
    EventTap::maskOf({Type::leftMouseDown, Type::leftMouseUp, Type::rightMouseDown, Type::rightMouseUp,
                      Type::otherMouseDown, Type::otherMouseUp, Type::leftMouseDragged, Type::rightMouseDragged,
                      Type::otherMouseDragged, Type::mouseMoved, Type::scrollWheel});

KeyboardLockController::KeyboardLockController(Environment environment, QObject* parent)
    : QObject(parent),
      environment_(environment),
      cleaningScreenCover_(std::make_unique<CleaningScreenCover>(environment.screenCovers, environment.scheduler)),
      cleaningKeyboardBacklight_(
          std::make_unique<CleaningKeyboardBacklight>(environment.keyboardBacklight, environment.scheduler)) {
    SystemEvents& events = environment_.systemEvents;
    connect(&events, &SystemEvents::willSleep, this, &KeyboardLockController::unlock);
    connect(&events, &SystemEvents::sessionDidResignActive, this, &KeyboardLockController::unlock);
    connect(&events, &SystemEvents::willTerminate, this, &KeyboardLockController::unlock);
    connect(&environment_.screenCovers, &ScreenCovers::screensChanged, this,
            &KeyboardLockController::updateCleaningScreenCover);
}

KeyboardLockController::~KeyboardLockController() { stop(); }

HUDNotice KeyboardLockController::lock(bool cleaning) {
    const HUDNotice refused{localized(GLIDRA_TEXT("无法锁定键盘，请检查输入设备权限。")), QStringLiteral("lock"),
                            HUDNotice::Kind::error};
    auto tap = environment_.eventTap.install(
        cleaning ? kCleaningMask : kKeyboardMask, [this](const InputEvent& event) { return handleTapEvent(event); },
        // A lock that the system switches off ends: it is not switched on
        // again behind the user's back.
        [this](EventTap::DisabledReason) { stop(); });
    if (!tap) return refused;
    tap_ = std::move(tap);
    if (!tap_->isEnabled()) {
        stop();
        return refused;
    }
    setLocked(true);
    setCleaning(cleaning);
    if (!cleaning) return {localized(GLIDRA_TEXT("键盘已锁定")), QStringLiteral("lock.fill"), HUDNotice::Kind::success};

    cleaningTimer_ = environment_.scheduler.after(kCleaningDuration, this, [this] { stop(); });
    cleaningScreenCover_->show();
    cleaningKeyboardBacklight_->begin();
    return cleaningStarted();
}

void KeyboardLockController::stop() {
    tap_.reset();
    cleaningTimer_.cancel();
    cleaningTimer_ = {};
    lastCleaningEscapePress_.reset();
    cleaningScreenCover_->hide();
    cleaningKeyboardBacklight_->end();
    setCleaning(false);
    setLocked(false);
}

void KeyboardLockController::updateCleaningScreenCover() {
    if (isCleaning_) cleaningScreenCover_->rebuildWindows();
}

HUDNotice KeyboardLockController::toggleKeyboardLock() {
    if (!isLocked_) return lock(false);
    stop();
    return {localized(GLIDRA_TEXT("键盘已解锁")), QStringLiteral("lock.open"), HUDNotice::Kind::success};
}

HUDNotice KeyboardLockController::startCleaningMode() {
    if (isCleaning_) return cleaningStarted();
    stop();
    return lock(true);
}

// Every event of the mask is swallowed, Escape and our own synthesised
// events included; Escape presses only count towards the early exit.
std::optional<InputEvent> KeyboardLockController::handleTapEvent(const InputEvent& event) {
    if (event.type == Type::keyDown && event.keyCode == kEscapeKeyCode && !event.isAutoRepeat) {
        handleCleaningEscape(event.timestamp);
    }
    return std::nullopt;
}

void KeyboardLockController::handleCleaningEscape(std::uint64_t timestamp) {
    // A plain keyboard lock has no keyboard exit.
    if (!isCleaning_) return;
    if (lastCleaningEscapePress_ && timestamp >= *lastCleaningEscapePress_ &&
        timestamp - *lastCleaningEscapePress_ <= kDoubleEscapeWindow) {
        stop();
        return;
    }
    lastCleaningEscapePress_ = timestamp;
}

void KeyboardLockController::setLocked(bool value) {
    if (value == isLocked_) return;
    isLocked_ = value;
    Q_EMIT isLockedChanged();
}

void KeyboardLockController::setCleaning(bool value) {
    if (value == isCleaning_) return;
    isCleaning_ = value;
    Q_EMIT isCleaningChanged();
}

}  // namespace glidra
