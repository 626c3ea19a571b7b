#include "executors/MouseDragController.h"

#include "common/Localized.h"
#include "platform/Clock.h"
#include "platform/EventMarkers.h"
#include "platform/EventPoster.h"
#include "platform/KeyboardState.h"
#include "platform/SystemEvents.h"

namespace glidra {

namespace {

QString dragSymbol() { return QStringLiteral("hand.draw"); }

HUDNotice releasedNotice() {
    return HUDNotice{localized(GLIDRA_TEXT("已松开鼠标左键")), dragSymbol(), HUDNotice::Kind::success};
}

}  // namespace

MouseDragController::MouseDragController(Ports ports, std::unique_ptr<AdjustmentHUD> hud, QObject* parent)
    : QObject(parent), ports_(ports), hud_(std::move(hud)), lastActivity_(ports_.clock.uptime()) {
    // Not on a session switch: the button stays ours until one of these.
    connect(&ports_.systemEvents, &SystemEvents::willSleep, this, [this] { release(false); });
    connect(&ports_.systemEvents, &SystemEvents::willTerminate, this, [this] { release(false); });
}

MouseDragController::~MouseDragController() { release(false); }

HUDNotice MouseDragController::perform(GestureAction action) {
    if (action == GestureAction::mouseReleaseLeft || (action == GestureAction::mouseToggleDrag && state_.isHeld)) {
        release(false);
        return releasedNotice();
    }
    if (state_.isHeld) {
        return HUDNotice{localized(GLIDRA_TEXT("正在拖拽 · Esc 松开")), dragSymbol(), HUDNotice::Kind::information};
    }

    auto tap = ports_.taps.install(
        kTapMask, [this](const InputEvent& event) { return handleTapEvent(event); },
        [this](EventTap::DisabledReason) { release(false); });
    if (!tap) {
        return HUDNotice{localized(GLIDRA_TEXT("无法开始拖拽，请检查输入设备权限")), QStringLiteral("lock.fill"),
                         HUDNotice::Kind::error};
    }
    tap_ = std::move(tap);

    // Held only once the mouse-down is posted: a release must never post a
    // mouse-up that no mouse-down went before.
    const auto down = leftButtonEvent(InputEvent::Type::leftMouseDown);
    if (!down) {
        release(false);
        return HUDNotice{localized(GLIDRA_TEXT("拖拽暂不可用")), dragSymbol(), HUDNotice::Kind::error};
    }
    ports_.poster.post(*down);
    state_.isHeld = true;

    lastActivity_ = ports_.clock.uptime();
    scheduleWatchdog();
    return HUDNotice{localized(GLIDRA_TEXT("已按住左键 · 再做手势或 Esc 松开")), dragSymbol(),
                     HUDNotice::Kind::information};
}

void MouseDragController::release(bool notify) {
    const bool wasHeld = state_.isHeld;
    if (wasHeld) {
        state_.isHeld = false;
        if (const auto up = leftButtonEvent(InputEvent::Type::leftMouseUp)) ports_.poster.post(*up);
    }
    watchdog_.cancel();
    watchdog_ = TimerHandle();
    tap_.reset();
    if (wasHeld && notify) hud_->show(releasedNotice());
}

std::optional<InputEvent> MouseDragController::leftButtonEvent(InputEvent::Type type) {
    const auto pointer = ports_.poster.pointerLocation();
    if (!pointer) return std::nullopt;
    auto event = ports_.poster.makeMouseEvent(type, *pointer, 0);
    if (!event) return std::nullopt;
    event->clickState = 1;
    event->flags = ports_.keyboard.combinedFlags();
    markOwnEvent(*event, kMouseEventMarker);
    return event;
}

std::optional<InputEvent> MouseDragController::handleTapEvent(const InputEvent& event) {
    if (event.userData == kMouseEventMarker) return event;
    switch (event.type) {
        case InputEvent::Type::leftMouseDown:
        case InputEvent::Type::leftMouseUp:
            // A real click takes the button back; the click itself goes on.
            release(false);
            return event;
        case InputEvent::Type::mouseMoved:
        case InputEvent::Type::leftMouseDragged: {
            lastActivity_ = ports_.clock.uptime();
            if (!state_.isHeld) return event;
            InputEvent dragged = event;
            dragged.type = InputEvent::Type::leftMouseDragged;
            dragged.mouseButton = 0;
            return dragged;
        }
        case InputEvent::Type::keyDown:
            if (event.keyCode != kEscapeKey) return event;
            release(true);
            return std::nullopt;
        default:
            return event;
    }
}

void MouseDragController::scheduleWatchdog() {
    watchdog_.cancel();
    watchdog_ = ports_.scheduler.after(kWatchdogInterval, this, [this] { watchdogTick(); });
}

void MouseDragController::watchdogTick() {
    if (!state_.isHeld) return;
    if (ports_.clock.uptime() - lastActivity_ >= kIdleRelease) {
        release(true);
        return;
    }
    scheduleWatchdog();
}

}  // namespace glidra
