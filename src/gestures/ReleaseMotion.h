#pragma once

#include "gestures/TouchPoint.h"
#include "gestures/TouchSurface.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace glidra {

// The last moments of a touch before it ends, when the fingers lift or a
// pressed button comes up. A finger leaving the surface rolls or skids while
// its pressure falls away; a finger that slides on purpose keeps pressing.
// So the stillness of taps and clicks is judged at the end without the motion
// of the last kWindow: when every finger moved less than kLargestRoll in it
// and, on pads that report pressure, pressed less and less throughout it,
// what counts is the stillness as it stood kWindow before the end. Motion
// beyond the tolerance before that still counts in full.
//
// A plain value kept by a recognizer: it records the frames of the touch with
// the recognizer's own stillness measure (the largest distance so far, as the
// recognizer judges it) and answers at the end. It holds the last kCapacity
// frames, and the first kMaxContacts contacts of each, without allocating.
class ReleaseMotion {
public:
    static constexpr double kWindow = 0.040;
    static constexpr float kLargestRoll = 8.0f;  // millimetres
    static constexpr std::size_t kCapacity = 24;
    static constexpr std::size_t kMaxContacts = 5;

    // Forgets the frames, for a new touch.
    void clear() { count_ = 0; }
    // One frame at `time`, with the stillness measure as it stands after it.
    void record(double time, std::span<const TouchPoint> contacts, float stillness);
    // The stillness measure as judged when the touch ends at `end`: the last
    // one recorded, or the one kWindow before when what came since was a
    // finger leaving the surface. Zero when nothing was recorded.
    float judgedStillness(double end, const TouchSurface& surface) const;

private:
    struct Frame {
        double time = 0;
        std::array<TouchPoint, kMaxContacts> contacts{};
        std::uint8_t count = 0;
        // All of the frame's contacts are kept.
        bool complete = true;
        float stillness = 0;
    };

    const Frame& at(std::size_t i) const { return frames_[(first_ + i) % kCapacity]; }
    bool leftTheSurface(std::size_t from, const TouchSurface& surface) const;

    std::array<Frame, kCapacity> frames_{};
    std::size_t first_ = 0;
    std::size_t count_ = 0;
};

}  // namespace glidra
