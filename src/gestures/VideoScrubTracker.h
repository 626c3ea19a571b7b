#pragma once

#include "gestures/GestureDescriptor.h"
#include "gestures/TouchPoint.h"
#include "gestures/TouchSurface.h"

#include <optional>
#include <span>
#include <vector>

namespace glidra {

// Turns the contact frames of one trackpad into sideways movement steps once
// a slide of one to four fingers is clearly horizontal, for scrubbing the
// browser's video. A plain value, one per device.
struct VideoScrubTracker {
    // One reported step: the slide (a swipe left or right by the whole
    // slide's direction) and the centroid's sideways movement since the last
    // step, in trackpad widths.
    struct Step {
        GestureDescriptor gesture;
        double movement = 0;

        friend bool operator==(const Step&, const Step&) = default;
    };

    // Sideways travel from the origin that recognises the slide; the caller
    // may set it before each update.
    float activationDistance = defaultActivationDistance;
    // The contacts when the slide began, sorted by identifier.
    std::vector<TouchPoint> origin;
    // The centroid x at the last reported step.
    float lastX = 0;
    bool activated = false;
    // Rejected; nothing more is reported until every finger lifts.
    bool cancelled = false;

    friend bool operator==(const VideoScrubTracker&, const VideoScrubTracker&) = default;

    // Feeds one frame's contacts, in any order; whether the slide is
    // sideways is judged on `surface`.
    std::optional<Step> update(std::span<const TouchPoint> points, const TouchSurface& surface = {});

    static constexpr float defaultActivationDistance = 0.025f;
    // A larger centroid move between two frames is a glitch, not a slide.
    static constexpr float jumpLimit = 0.15f;
    // Vertical travel from the origin that shows the slide is not sideways.
    static constexpr float driftLimit = 0.08f;
    // Movement below this accumulates until it reaches it.
    static constexpr float reportingResolution = 0.002f;
};

}  // namespace glidra
