#pragma once

#include "actions/GestureAction.h"
#include "actions/ShortcutMediaKey.h"
#include "executors/MouseClickSequence.h"
#include "notices/HUDNotice.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace glidra {

class Clock;
class EventPoster;
class FrontmostApplication;
class KeyboardState;

// The catalogue's mouse clicks and scrolls, synthesised at the pointer, and
// the media keys of recorded shortcuts. Keeps the click sequence that turns
// repeated click actions into double and triple clicks. Main thread only.
class SyntheticInput {
public:
    struct Ports {
        EventPoster& poster;
        const KeyboardState& keyboard;
        const FrontmostApplication& frontmostApplication;
        const Clock& clock;
    };

    // `switcherIsOpen` tells whether the application switcher holds its
    // synthetic Super key, which a click must not carry.
    SyntheticInput(Ports ports, std::function<bool()> switcherIsOpen);

    // mouseLeftClick, mouseRightClick, mouseMiddleClick, mouseDoubleClick and
    // the four scrolls; the action's title on success, "鼠标操作暂不可用" when
    // the events cannot be made (and for any other action).
    HUDNotice performMouseAction(GestureAction action);

    // The media key's down and up, both or neither, stamped with `modifiers`
    // (as a shortcut stores them); `label` is the text of the success notice.
    HUDNotice postMediaKey(std::uint64_t modifiers, const QString& label, std::optional<ShortcutMediaKey> mediaKey);

    const MouseClickSequence& clickSequence() const { return clickSequence_; }
    // The next click starts a new count.
    void resetClickSequence() { clickSequence_.reset(); }

private:
    std::uint64_t clickFlags() const;

    Ports ports_;
    std::function<bool()> switcherIsOpen_;
    MouseClickSequence clickSequence_;
};

}  // namespace glidra
