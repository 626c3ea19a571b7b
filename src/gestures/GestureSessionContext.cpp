#include "gestures/GestureSessionContext.h"

#include <algorithm>
#include <utility>

namespace glidra {

std::uint64_t GestureSessionContext::sessionModifiers(std::uint64_t heldFlags, bool applicationSwitcherShown) {
    return heldFlags & (applicationSwitcherShown ? switcherModifierMask : modifierMask);
}

GestureSessionContext GestureSessionContext::opening(std::optional<QString> app, std::uint64_t heldFlags,
                                                     bool applicationSwitcherShown,
                                                     std::span<const TouchPoint> contacts, double edgeWidth) {
    GestureSessionContext context;
    context.reopen(std::move(app), heldFlags, applicationSwitcherShown, contacts, edgeWidth);
    return context;
}

void GestureSessionContext::reopen(std::optional<QString> app, std::uint64_t heldFlags, bool applicationSwitcherShown,
                                   std::span<const TouchPoint> contacts, double edgeWidth) {
    this->app = std::move(app);
    modifiers = sessionModifiers(heldFlags, applicationSwitcherShown);
    startPoints.assign(contacts.begin(), contacts.end());
    regionWidth = float(edgeWidth);
}

void GestureSessionContext::recordContacts(std::span<const TouchPoint> contacts) {
    for (const auto& contact : contacts) {
        const bool known = std::any_of(startPoints.begin(), startPoints.end(),
                                       [&](const TouchPoint& start) { return start.id == contact.id; });
        if (!known) startPoints.push_back(contact);
    }
}

std::optional<TouchPoint> GestureSessionContext::startCentroid() const { return centroid(startPoints); }

std::optional<TouchPoint> centroid(std::span<const TouchPoint> points) {
    if (points.empty()) return std::nullopt;
    float sumX = 0;
    float sumY = 0;
    for (const auto& point : points) {
        sumX += point.x;
        sumY += point.y;
    }
    const float count = float(points.size());
    return TouchPoint{0, sumX / count, sumY / count, 0};
}

}  // namespace glidra
