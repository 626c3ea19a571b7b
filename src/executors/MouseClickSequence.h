#pragma once

#include "actions/GestureAction.h"

#include <QPointF>

#include <cstdint>
#include <limits>
#include <optional>

namespace glidra {

// The last synthesised single click, so that repeated click actions count up
// to double and triple clicks the way a real mouse does. Main thread only.
struct MouseClickSequence {
    std::optional<GestureAction> action;                     // absent: the record is empty
    QPointF anchor;                                          // the first click of the sequence
    double time = -std::numeric_limits<double>::infinity();  // system uptime
    std::uint64_t flags = 0;
    std::int32_t processIdentifier = 0;  // of the front application; 0 for none
    bool hasNoFrontApplication = true;
    std::int64_t clickCount = 0;

    static constexpr double kMaximumDistance = 4.0;  // points from the anchor

    // Everything one click brings to the sequence.
    struct Click {
        GestureAction action;
        QPointF pointer;
        double now;
        double doubleClickInterval;
        std::uint64_t flags;
        std::optional<std::int32_t> frontProcess;
    };
    struct Step;

    // The click continues the sequence with the same action, flags and front
    // application, within the interval of the last click and the distance of
    // the first; otherwise it starts a new one.
    Step next(const Click& click) const;

    void reset() { *this = MouseClickSequence(); }

    friend bool operator==(const MouseClickSequence&, const MouseClickSequence&) = default;
};

struct MouseClickSequence::Step {
    std::int64_t count;
    MouseClickSequence record;  // what to store once the click is posted
};

}  // namespace glidra
