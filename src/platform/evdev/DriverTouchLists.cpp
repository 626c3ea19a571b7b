#include "platform/evdev/DriverTouchLists.h"

#include <limits>

namespace glidra::evdev {

namespace {

// The driver's touch states.
constexpr std::int32_t kApproaching = 1;
constexpr std::int32_t kTouching = 4;

}  // namespace

std::vector<std::vector<DriverTouch>> driverTouchLists(const Frame& frame) {
    std::vector<std::vector<DriverTouch>> lists;
    if (frame.interrupted) {
        const float nowhere = std::numeric_limits<float>::quiet_NaN();
        lists.push_back({DriverTouch{0, kTouching, nowhere, nowhere, 0}});
    }
    std::vector<DriverTouch>& touches = lists.emplace_back();
    touches.reserve(frame.contacts.size());
    for (const auto& contact : frame.contacts) {
        touches.push_back(DriverTouch{contact.id, contact.touching ? kTouching : kApproaching, contact.x, contact.y,
                                      contact.pressure});
    }
    return lists;
}

}  // namespace glidra::evdev
