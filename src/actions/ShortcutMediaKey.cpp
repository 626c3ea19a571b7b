#include "actions/ShortcutMediaKey.h"

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

}  // namespace glidra
