#pragma once

#include "gestures/ForcePressRecognizer.h"
#include "gestures/GestureDescriptor.h"
#include "gestures/GestureRecognitionLevel.h"
#include "gestures/ReleaseMotion.h"
#include "gestures/TouchPoint.h"
#include "gestures/TouchSurface.h"

#include <QtGlobal>

#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace glidra {

// Turns the contact frames of one trackpad into at most one gesture per
// contact session: fingers go down, move and lift, and the lift classifies
// the motion (tap with multi-tap counting, long press, swipes, pinch,
// rotation, circle, back-and-forth). A force press is reported while the
// fingers are still down. A plain value, one per device; it sees time only
// through the frame timestamps and never fails: bad input cancels the
// session and its lift yields nothing.
struct MultiTouchRecognizer {
    // Thresholds in use; the owner copies the user's setting in every frame.
    GestureRecognitionLevel recognitionLevel = GestureRecognitionLevel::standard;
    ForcePressRecognizer forcePress;
    // The pad's size, which directions and the tap's stillness are judged
    // by; the owner sets it.
    TouchSurface surface;
    // Timestamp of the first frame of the contact session; empty while idle.
    std::optional<double> startTime;
    // The contacts at the start of the motion, sorted by id; replaced when a
    // finger joins.
    std::vector<TouchPoint> baseline;
    // The contacts of the latest accepted frame, sorted by id.
    std::vector<TouchPoint> last;
    // Sampled centroid path (id 0, pressure 0), at most maxPathLength entries.
    std::vector<TouchPoint> path;
    // The number of fingers of the motion.
    int peakCount = 0;
    // The largest distance any finger has moved from its baseline position.
    float maxTravel = 0;
    // maxTravel as the tap's stillness judges it (TouchSurface): what a tap
    // and a finger joining it must stay below.
    float stillnessTravel = 0;
    // The frames since the baseline with stillnessTravel, so that a tap is
    // judged at the lift without the fingers rolling off the pad.
    ReleaseMotion release;
    // When maxTravel first exceeded the level's travel threshold.
    std::optional<double> motionTime;
    // The session can no longer produce a gesture; takes effect at the lift.
    bool cancelled = false;

    // Tap memory, kept across sessions for multi-tap counting and tap-swipe.
    double lastTapTime = -std::numeric_limits<double>::infinity();
    std::optional<TouchPoint> lastTapCenter;
    int lastTapFingers = 0;
    int tapCount = 0;

    // Feeds one frame (contacts in any order). forceThreshold is the pressure
    // threshold when force presses are wanted for this frame, else nullopt.
    // Returns the gesture that completes on this frame, if any.
    std::optional<GestureDescriptor> update(std::span<const TouchPoint> points, std::optional<float> forceThreshold,
                                            double timestamp);

    // Mean position of the contacts (id 0, pressure 0); (0, 0) when empty.
    static TouchPoint centroid(std::span<const TouchPoint> points);

    // Pinch of three or four fingers between two id-sorted contact lists;
    // pinchIn or pinchOut, or nullopt when the hand did not pinch.
    static std::optional<GestureDescriptor::Kind> multiFingerPinch(std::span<const TouchPoint> from,
                                                                   std::span<const TouchPoint> to);

    static constexpr std::size_t maxPathLength = 512;

private:
    std::optional<GestureDescriptor> lift(double timestamp);
    void track(std::span<const TouchPoint> sorted, double timestamp);
    std::optional<GestureDescriptor> classify(double duration, float stillness) const;
    void resetMotion();
};

}  // namespace glidra
