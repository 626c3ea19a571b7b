#pragma once

#include "gestures/TouchPoint.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace glidra {

// The circumstances of the moment the first finger of a contact session
// landed. A gesture is judged against these, not against the moment it was
// recognised: the user may have released a key or switched applications in
// between.
struct GestureSessionContext {
    // Bundle identifier (desktop-file id on Linux) of the front application;
    // absent when there was none or it had no identifier.
    std::optional<QString> app;
    // Event flag bits, restricted to Shift, Control, Option and Command.
    std::uint64_t modifiers = 0;
    // The first position of every finger of the session, in landing order.
    std::vector<TouchPoint> startPoints;
    // Width of the edge bands for region tests, a fraction of the pad.
    float regionWidth = 0.08f;

    friend bool operator==(const GestureSessionContext&, const GestureSessionContext&) = default;

    // Shift, Control, Option and Command; Caps Lock and Fn never take part in
    // rule matching.
    static constexpr std::uint64_t modifierMask = 0x1E0000;
    // While the application switcher is on screen Command is being held to
    // keep it open, not to qualify a gesture.
    static constexpr std::uint64_t switcherModifierMask = 0xE0000;

    // The modifiers a session records for the flags held at its first frame.
    static std::uint64_t sessionModifiers(std::uint64_t heldFlags, bool applicationSwitcherShown);

    // The context of a session whose first frame with contacts is `contacts`.
    static GestureSessionContext opening(std::optional<QString> app, std::uint64_t heldFlags,
                                         bool applicationSwitcherShown, std::span<const TouchPoint> contacts,
                                         double edgeWidth);

    // Becomes the context that opening() gives, keeping the storage of the
    // start points.
    void reopen(std::optional<QString> app, std::uint64_t heldFlags, bool applicationSwitcherShown,
                std::span<const TouchPoint> contacts, double edgeWidth);

    // Adds the fingers of a later frame that the session has not seen yet, at
    // their position in this frame; known fingers keep their first position.
    void recordContacts(std::span<const TouchPoint> contacts);

    // Where the gesture began: the centroid of the start points.
    std::optional<TouchPoint> startCentroid() const;
};

// The mean position of the contacts, with id 0 and pressure 0; nothing for no
// contacts. Sums in list order in single precision, as region tests expect.
std::optional<TouchPoint> centroid(std::span<const TouchPoint> points);

}  // namespace glidra
