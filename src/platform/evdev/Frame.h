#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace glidra::evdev {

// One contact frame of a touchpad: everything the pad reported up to one
// SYN_REPORT. Positions are in trackpad coordinates: 0...1, x from the left
// edge, y from the bottom edge upwards.
struct Frame {
    struct Contact {
        // The kernel's tracking id, stable while the finger stays down; a
        // contact made up from the finger count (synthesized) has an id of
        // kSyntheticIdBase or above, which no tracking id reaches.
        std::int32_t id = 0;
        float x = 0;
        float y = 0;
        // In the raw pressure units of the force-press thresholds
        // (see FrameAssembler::rawPressure).
        float pressure = 0;
        // On the surface; false while the finger only hovers, or may still be
        // a brush (see FrameAssembler).
        bool touching = false;
        // No slot stands behind it, or none that has placed it: the pad
        // counted more fingers than it has slots, and this one sits at the
        // centroid of the placed contacts.
        bool synthesized = false;
        // False when the position is that stand-in.
        bool positionKnown = true;

        friend bool operator==(const Contact&, const Contact&) = default;
    };

    enum class Button { left, right, middle };

    struct ButtonChange {
        Button button = Button::left;
        bool pressed = false;

        friend bool operator==(const ButtonChange&, const ButtonChange&) = default;
    };

    struct Buttons {
        bool left = false;
        bool right = false;
        bool middle = false;

        friend bool operator==(const Buttons&, const Buttons&) = default;
    };

    static constexpr std::int32_t kSyntheticIdBase = 1 << 24;

    // The driver's timestamp of the SYN_REPORT, in seconds.
    double time = 0;
    // Tracked contacts in slot order, then the synthesized ones.
    std::vector<Contact> contacts;
    // Physical buttons (the press of a clickpad) after this frame...
    Buttons buttons;
    // ...and their changes within it, in event order.
    std::vector<ButtonChange> buttonChanges;
    // Events were lost (SYN_DROPPED) before this frame. Every contact that was
    // down then is gone from this frame on and stays withheld until all
    // fingers have lifted: the gestures in progress are abandoned here, and
    // this frame is not the lift that ends them (driverTouchLists delivers it
    // so).
    bool interrupted = false;

    int touchingCount() const {
        return static_cast<int>(
            std::count_if(contacts.begin(), contacts.end(), [](const Contact& c) { return c.touching; }));
    }

    friend bool operator==(const Frame&, const Frame&) = default;
};

}  // namespace glidra::evdev
