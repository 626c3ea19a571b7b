#pragma once

#include "gestures/GestureDescriptor.h"
#include "gestures/ReleaseMotion.h"
#include "gestures/TouchPoint.h"
#include "gestures/TouchSurface.h"

#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace glidra {

// Turns a physical press of a trackpad into a click or long press carrying
// the number of fingers that rested on the pad when it was pressed. The frame
// handler feeds it every contact frame of its device; the click monitor
// records the press (hasClaimedContactSession, downTime, origins, dragged)
// at button-down, marks it released at button-up and resolves it a little
// later. A plain value, one per device.
struct TrackpadClickRecognizer {
    // A press owns the current contact session until the next one starts;
    // meanwhile the device counts as pressed.
    bool hasClaimedContactSession = false;
    // The contacts of the latest frame.
    std::vector<TouchPoint> points;
    double lastFrameTime = -std::numeric_limits<double>::infinity();
    // When the button went down; nullopt when no press is pending.
    std::optional<double> downTime;
    // The contacts at the moment of the press.
    std::vector<TouchPoint> origins;
    // The press turned into a force click.
    bool forcePressed = false;
    // A contact appeared while the press was held, or had no place.
    bool dragged = false;
    // The button came up; the press waits to be resolved. The finger rolls
    // off the pad before it lifts, so moving now makes no drag (a contact
    // that appears still does).
    bool released = false;
    // The frames while the button was held, with the farthest any contact
    // had strayed from its origin: a contact that slid the drag distance
    // drags, unless it did so only while rolling off as the button came up.
    ReleaseMotion pressedMotion;
    float strayed = 0;
    // The pad's size as the last frame gave it.
    TouchSurface surface;

    // `padSurface` is the pad's size, which the drag distance is judged by.
    void update(std::span<const TouchPoint> contacts, double time, const TouchSurface& padSurface = {});
    // The button went down at `time`, with the contacts of the latest frame
    // resting.
    void press(double time);
    // Consumes the pending press at the button's release.
    std::optional<GestureDescriptor> resolve(double releaseTime);

    // A contact that slides this far while the button is down makes a drag,
    // not a click (a stillness tolerance: see TouchSurface).
    static constexpr float dragDistance = 0.04f;
    // Held this long or longer, a press is a long press.
    static constexpr double longPressDuration = 0.6;
};

}  // namespace glidra
