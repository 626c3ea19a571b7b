#pragma once

#include "gestures/MultiTouchRecognizer.h"
#include "support/FrameBuilder.h"

#include <optional>
#include <string>
#include <vector>

// What the recognizer tests make of a sequence of frames.
namespace glidra::test {

// Every gesture a sequence of frames produces, in order, joined by "; ";
// "none" when it produces nothing.
inline std::string run(MultiTouchRecognizer& recognizer, const std::vector<Frame>& sequence,
                       std::optional<float> forceThreshold = std::nullopt) {
    std::string seen;
    for (const Frame& frame : sequence) {
        if (auto gesture = recognizer.update(frame.points, forceThreshold, frame.time)) {
            seen += (seen.empty() ? "" : "; ") + describe(gesture);
        }
    }
    return seen.empty() ? "none" : seen;
}

inline std::string recognise(const std::vector<Frame>& sequence,
                             GestureRecognitionLevel level = GestureRecognitionLevel::standard) {
    MultiTouchRecognizer recognizer;
    recognizer.recognitionLevel = level;
    return run(recognizer, sequence);
}

// Kind and fingers, with the direction only for the kinds that use one: the
// direction of the others follows from tiny float drifts of the centroid.
inline std::string gist(const std::string& described) {
    const auto kindEnd = described.find(' ');
    const std::string kind = described.substr(0, kindEnd);
    if (kind == "none" || kind == "swipe" || kind == "holdSwipe" || kind == "tapSwipe" || kind == "anchorSwipe") {
        return described.substr(0, described.rfind(' '));
    }
    const auto fingersEnd = described.find(' ', kindEnd + 1);
    return described.substr(0, fingersEnd);
}

}  // namespace glidra::test
