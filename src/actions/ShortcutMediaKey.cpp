#include "actions/ShortcutMediaKey.h"

#include "platform/EventMarkers.h"

namespace glidra {

InputEvent mediaKeyEvent(std::int32_t keyType, bool keyDown, std::uint64_t flags) {
    InputEvent event;
    event.type = InputEvent::Type::systemDefined;
    event.origin = EventOrigin::ownProcess;
    event.flags = flags;
    event.subtype = 8;
    event.data1 = (std::int64_t(keyType) << 16) | (keyDown ? 0xA00 : 0xB00);
    event.data2 = -1;
    event.origin = EventOrigin::ownProcess;
    return event;
}

std::optional<std::pair<InputEvent, InputEvent>> makeMediaKeyEvents(EventPoster& poster, std::int32_t keyType,
                                                                    std::uint64_t flags) {
    std::optional<InputEvent> made[2];
    for (bool keyDown : {true, false}) {
        const InputEvent shape = mediaKeyEvent(keyType, keyDown, flags);
        auto& event = made[keyDown ? 0 : 1];
        event = poster.makeSystemDefinedEvent(shape.flags, shape.subtype, shape.data1, shape.data2);
        if (!event) return std::nullopt;
        // Media keys carry no marker: nothing of ours watches them.
        markOwnEvent(*event, 0);
    }
    return std::pair{*std::move(made[0]), *std::move(made[1])};
}

}  // namespace glidra
