#include "executors/SyntheticInput.h"

#include "actions/HeldModifierState.h"
#include "actions/KeyboardShortcut.h"
#include "common/Localized.h"
#include "platform/Clock.h"
#include "platform/EventMarkers.h"
#include "platform/EventPoster.h"
#include "platform/FrontmostApplication.h"

#include <array>
#include <vector>

namespace glidra {

namespace {

using Type = InputEvent::Type;

struct ButtonAction {
    GestureAction action;
    Type down;
    Type up;
    std::int32_t button;
};

constexpr std::array kButtonActions{
    ButtonAction{GestureAction::mouseLeftClick, Type::leftMouseDown, Type::leftMouseUp, 0},
    ButtonAction{GestureAction::mouseRightClick, Type::rightMouseDown, Type::rightMouseUp, 1},
    ButtonAction{GestureAction::mouseMiddleClick, Type::otherMouseDown, Type::otherMouseUp, 2},
    ButtonAction{GestureAction::mouseDoubleClick, Type::leftMouseDown, Type::leftMouseUp, 0},
};

struct ScrollAction {
    GestureAction action;
    std::int32_t vertical;
    std::int32_t horizontal;
};

constexpr std::array kScrollActions{
    ScrollAction{GestureAction::mouseScrollUp, 120, 0},
    ScrollAction{GestureAction::mouseScrollDown, -120, 0},
    ScrollAction{GestureAction::mouseScrollLeft, 0, 120},
    ScrollAction{GestureAction::mouseScrollRight, 0, -120},
};

template <typename Row, std::size_t N>
const Row* rowFor(const std::array<Row, N>& rows, GestureAction action) {
    for (const Row& row : rows) {
        if (row.action == action) return &row;
    }
    return nullptr;
}

}  // namespace

SyntheticInput::SyntheticInput(Ports ports, std::function<bool()> switcherIsOpen)
    : ports_(ports), switcherIsOpen_(std::move(switcherIsOpen)) {}

std::uint64_t SyntheticInput::clickFlags() const {
    std::uint64_t flags = heldModifierState(ports_.keyboard);
    // The switcher's Command is ours, not the user's: a click would become a
    // Command-click.
    if (switcherIsOpen_ && switcherIsOpen_()) flags &= ~modifier_flag::command;
    return flags;
}

HUDNotice SyntheticInput::performMouseAction(GestureAction action) {
    const HUDNotice unavailable{localized(GLIDRA_TEXT("鼠标操作暂不可用")), QStringLiteral("computermouse"),
                                HUDNotice::Kind::error};
    const ButtonAction* button = rowFor(kButtonActions, action);
    const ScrollAction* scroll = rowFor(kScrollActions, action);
    if (!button && !scroll) return unavailable;

    const auto pointer = ports_.poster.pointerLocation();
    if (!pointer) return unavailable;
    const std::uint64_t flags = clickFlags();

    std::vector<InputEvent> events;
    MouseClickSequence record;
    if (button) {
        std::vector<std::int64_t> clickStates;
        if (action == GestureAction::mouseDoubleClick) {
            clickStates = {1, 2};
        } else {
            const auto step = clickSequence_.next(
                MouseClickSequence::Click{action, *pointer, ports_.clock.uptime(), ports_.poster.doubleClickInterval(),
                                          flags, ports_.frontmostApplication.processIdentifier()});
            clickStates = {std::max<std::int64_t>(step.count, 1)};
            record = step.record;
        }
        for (std::int64_t clickState : clickStates) {
            for (Type type : {button->down, button->up}) {
                auto event = ports_.poster.makeMouseEvent(type, *pointer, button->button);
                if (!event) return unavailable;
                event->flags = flags;
                event->clickState = clickState;
                markOwnEvent(*event, kMouseEventMarker);
                events.push_back(*event);
            }
        }
    } else {
        auto event = ports_.poster.makeScrollWheelEvent(scroll->vertical, scroll->horizontal);
        if (!event) return unavailable;
        event->location = *pointer;
        event->flags = flags;
        // Scrolls carry no marker: nothing of ours watches them.
        markOwnEvent(*event, 0);
        events.push_back(*event);
    }

    clickSequence_ = record;
    for (const InputEvent& event : events) ports_.poster.post(event);
    return HUDNotice{title(action), symbolName(action), HUDNotice::Kind::success};
}

HUDNotice SyntheticInput::postMediaKey(std::uint64_t modifiers, const QString& label,
                                       std::optional<ShortcutMediaKey> mediaKey) {
    const QString symbol = QStringLiteral("keyboard");
    if (!mediaKey) return HUDNotice{localized(GLIDRA_TEXT("未选择媒体按键")), symbol, HUDNotice::Kind::error};
    const auto events = makeMediaKeyEvents(ports_.poster, keyType(*mediaKey), modifiers);
    if (!events) return HUDNotice{localized(GLIDRA_TEXT("媒体按键暂不可用")), symbol, HUDNotice::Kind::error};
    ports_.poster.post(events->first);
    ports_.poster.post(events->second);
    return HUDNotice{label, symbol, HUDNotice::Kind::success};
}

}  // namespace glidra
