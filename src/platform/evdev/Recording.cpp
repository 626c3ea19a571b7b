#include "platform/evdev/Recording.h"

#include "platform/evdev/EvdevCodes.h"

#include <algorithm>

namespace glidra::evdev {

bool Recording::reportsTouchKey() const {
    return std::any_of(events.begin(), events.end(),
                       [](const EvdevEvent& e) { return e.type == kEvKey && e.code == kBtnTouch; });
}

}  // namespace glidra::evdev
