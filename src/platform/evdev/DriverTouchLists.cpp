#include "platform/evdev/DriverTouchLists.h"

#include <limits>

namespace glidra::evdev {

namespace {

// The driver's touch states.
constexpr std::int32_t kApproaching = 1;
constexpr std::int32_t kTouching = 4;

}  // namespace

DriverTouchLists::DriverTouchLists() {
    const float nowhere = std::numeric_limits<float>::quiet_NaN();
    cancel_[0] = DriverTouch{0, kTouching, nowhere, nowhere, 0};
}

std::span<const std::span<const DriverTouch>> DriverTouchLists::fill(const Frame& frame) {
    touches_.clear();
    for (const auto& contact : frame.contacts) {
        touches_.push_back(DriverTouch{contact.id, contact.touching ? kTouching : kApproaching, contact.x, contact.y,
                                       contact.pressure});
    }
    std::size_t count = 0;
    if (frame.interrupted) lists_[count++] = cancel_;
    lists_[count++] = touches_;
    return {lists_.data(), count};
}

std::vector<std::vector<DriverTouch>> driverTouchLists(const Frame& frame) {
    DriverTouchLists store;
    std::vector<std::vector<DriverTouch>> lists;
    for (const auto touches : store.fill(frame)) lists.emplace_back(touches.begin(), touches.end());
    return lists;
}

}  // namespace glidra::evdev
