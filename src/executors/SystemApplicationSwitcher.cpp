#include "executors/SystemApplicationSwitcher.h"

#include "actions/KeyboardShortcut.h"
#include "common/Localized.h"
#include "notices/AccessNotices.h"
#include "platform/AccessibilityTrust.h"
#include "platform/EventMarkers.h"
#include "platform/EventPoster.h"
#include "platform/SystemEvents.h"

namespace glidra {

namespace {

HUDNotice hint() {
    return HUDNotice{localized(GLIDRA_TEXT("点击应用或方向键选择 · 回车切换 · Esc 取消")),
                     QStringLiteral("app.switcher"), HUDNotice::Kind::information};
}

}  // namespace

SystemApplicationSwitcher::SystemApplicationSwitcher(Ports ports, QObject* parent) : QObject(parent), ports_(ports) {
    connect(&ports_.systemEvents, &SystemEvents::willTerminate, this, [this] { end(true); });
}

SystemApplicationSwitcher::~SystemApplicationSwitcher() {
    // Never leave a synthetic Command held; the controller may be gone.
    host_ = Host();
    end(true);
}

HUDNotice SystemApplicationSwitcher::begin() {
    if (!ports_.accessibilityTrust.isProcessTrusted()) return inputAccessRequiredNotice();
    if (tap_) {
        // The time-out keeps running from the session's start.
        postKeyPress(kTabKey, modifier_flag::command);
        return hint();
    }

    auto tap = ports_.taps.install(
        kTapMask, [this](const InputEvent& event) { return handleTapEvent(event); },
        [this](EventTap::DisabledReason) { end(true); });
    if (!tap) {
        return HUDNotice{localized(GLIDRA_TEXT("无法打开系统应用切换器，请检查输入设备权限")),
                         QStringLiteral("lock.fill"), HUDNotice::Kind::error};
    }
    const std::uint64_t session = ++session_;
    tap_ = std::move(tap);
    if (host_.setShowing) host_.setShowing(true);

    postKey(kCommandKey, true, modifier_flag::command);
    ports_.scheduler.after(kFirstTabDelay, this, [this, session] {
        if (tap_ && session_ == session) postKeyPress(kTabKey, modifier_flag::command);
    });
    timeout_ = ports_.scheduler.after(kTimeout, this, [this] { end(true); });

    if (host_.presentNotice) host_.presentNotice(hint());
    return hint();
}

void SystemApplicationSwitcher::end(bool cancel) {
    if (!tap_) return;
    // Removing the tap disables it and takes it out of the event stream.
    tap_.reset();
    ++session_;
    timeout_.cancel();
    timeout_ = TimerHandle();

    // Escape closes the switcher before Command is let go, so nothing is
    // activated.
    if (cancel) postKeyPress(kEscapeKey, modifier_flag::command);
    postKey(kCommandKey, false, 0);
    if (host_.setShowing) host_.setShowing(false);
}

std::optional<InputEvent> SystemApplicationSwitcher::handleTapEvent(const InputEvent& event) {
    if (event.userData == kApplicationSwitcherEventMarker) return event;

    switch (event.type) {
        case InputEvent::Type::flagsChanged:
            // The user pressed or released a modifier of their own.
            end(true);
            return event;
        case InputEvent::Type::leftMouseUp:
        case InputEvent::Type::rightMouseUp: {
            const std::uint64_t session = session_;
            ports_.scheduler.after(kClickDelay, this, [this, session] {
                if (session_ == session) end(false);
            });
            return event;
        }
        case InputEvent::Type::keyDown:
        case InputEvent::Type::keyUp:
            break;
        default:
            return event;
    }

    const bool keyDown = event.type == InputEvent::Type::keyDown;
    switch (event.keyCode) {
        case kTabKey:
        case kLeftArrowKey:
        case kRightArrowKey: {
            // Bare Tab and arrows move the selection.
            InputEvent moved = event;
            moved.flags |= modifier_flag::command;
            return moved;
        }
        case kReturnKey:
        case kKeypadEnterKey:
        case kEscapeKey:
            if (!keyDown) return event;
            end(event.keyCode == kEscapeKey);
            return std::nullopt;
        default: {
            if (!keyDown) return event;
            end(true);
            // The key reaches the front application as typed.
            InputEvent typed = event;
            typed.flags &= ~modifier_flag::command;
            return typed;
        }
    }
}

void SystemApplicationSwitcher::postKeyPress(std::uint16_t keyCode, std::uint64_t flags) {
    postKey(keyCode, true, flags);
    postKey(keyCode, false, flags);
}

void SystemApplicationSwitcher::postKey(std::uint16_t keyCode, bool keyDown, std::uint64_t flags) {
    auto event = ports_.poster.makeSystemStateKeyboardEvent(keyCode, keyDown);
    if (!event) return;
    event->flags = flags;
    markOwnEvent(*event, kApplicationSwitcherEventMarker);
    ports_.poster.post(*event);
}

}  // namespace glidra
