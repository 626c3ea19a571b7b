#pragma once

#include "gestures/GestureDescriptor.h"
#include "gestures/TouchPoint.h"

#include <QtGlobal>

#include <optional>
#include <span>
#include <vector>

namespace glidra {

// Detects a force press: one to four fingers land together, stay still, and
// the firmest of them presses at or above the threshold for a short dwell.
// Fires at most once per contact session, while the fingers are still down.
// A plain value owned by the multi-touch recognizer of one device.
struct ForcePressRecognizer {
    // The force press fired in this contact session.
    bool hasTriggered = false;
    // Where each finger first touched, by contact id.
    // The first position of each finger, by identifier.
    std::vector<TouchPoint> origins;
    // The largest number of fingers seen in this session.
    int peakCount = 0;
    // Time of the first frame of the session.
    std::optional<double> startTime;
    // Time at which the pressure last rose to the threshold.
    std::optional<double> aboveThresholdSince;
    // The session can no longer produce a force press.
    bool cancelled = false;

    // Feeds one frame; returns {forcePress, contacts, right, 1} on the frame
    // that completes the dwell. A frame without contacts resets.
    std::optional<GestureDescriptor> update(std::span<const TouchPoint> points, double timestamp, float threshold);
    void reset();

    // Fingers that join later than this after the first contact, or lift,
    // make the session something other than a press.
    static constexpr double joinWindow = 0.18;
    // A finger that slides this far from where it landed is not pressing.
    static constexpr float maxDrift = 0.06f;
    // How long the pressure must stay at the threshold.
    static constexpr double dwell = 0.04;
};

}  // namespace glidra
