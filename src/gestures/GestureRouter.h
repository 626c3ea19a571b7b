#pragma once

#include "gestures/EdgeGesture.h"
#include "gestures/GestureTrigger.h"
#include "gestures/TouchSurface.h"

#include <QtGlobal>

#include <optional>

namespace glidra {

// Follows one finger near the trackpad's edges and turns its slide into edge
// steps: up or down in the left or right band (leftUp ... rightDown), left
// or right in the top or bottom band (topLeft ... bottomRight). The slide is
// locked to one axis; diagonal, jumping and band-leaving paths report
// nothing. A plain value, one per device, in single precision throughout.
struct GestureRouter {
    enum class Axis { vertical, horizontal, rejected };

    // One reported step: the trigger and its length scaled by the
    // sensitivity, never negative.
    struct Step {
        GestureTrigger trigger = GestureTrigger::leftUp;
        float magnitude = 0;

        friend bool operator==(const Step&, const Step&) = default;
    };

    // The contact being followed; absent when idle.
    std::optional<qint32> identifier;
    float startX = 0;
    float startY = 0;
    // x at the last reported horizontal step.
    float lastHorizontalX = 0;
    float previousX = 0;
    float previousY = 0;
    // Absent while undecided; once locked it never changes for the contact.
    std::optional<Axis> axis;
    EdgeGesture vertical;

    friend bool operator==(const GestureRouter&, const GestureRouter&) = default;

    // Feeds one frame: the followed contact and its position, or present
    // false when the frame has no usable contact. activationTravel is the
    // travel from the start a slide needs before its axis locks; whether a
    // slide runs along an axis is judged on `surface`. Returns the step this
    // frame completes, if any.
    std::optional<Step> update(qint32 contact, bool present, float x, float y, float edgeWidth, float sensitivity,
                               float activationTravel, const TouchSurface& surface = {});

    // Steps shorter than this add up until they reach it.
    static constexpr float minimumStep = 0.008f;
    // A move this large between two frames is a glitch or a second finger.
    static constexpr float jumpLimit = 0.15f;

private:
    std::optional<Step> slideHorizontally(float x, float y, float edgeWidth, float sensitivity);
    std::optional<Step> slideVertically(qint32 contact, float x, float y, float edgeWidth, float sensitivity,
                                        float activationTravel, const TouchSurface& surface);
};

}  // namespace glidra
