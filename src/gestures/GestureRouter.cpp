#include "gestures/GestureRouter.h"

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

bool isOnPad(float value) { return std::isfinite(value) && value >= 0 && value <= 1; }

// A slide is straight enough for an axis when its travel along the axis
// exceeds 1.5 times its travel across.
constexpr float axisRatio = 1.5f;

}  // namespace

std::optional<GestureRouter::Step> GestureRouter::update(qint32 contact, bool present, float x, float y,
                                                         float edgeWidth, float sensitivity, float activationTravel,
                                                         const TouchSurface& surface) {
    if (!present || !isOnPad(x) || !isOnPad(y)) {
        *this = GestureRouter{};
        return std::nullopt;
    }

    if (!identifier || *identifier != contact) {
        identifier = contact;
        startX = lastHorizontalX = previousX = x;
        startY = previousY = y;
        axis.reset();
        vertical = EdgeGesture::starting(contact, x, y, edgeWidth);
        return std::nullopt;
    }

    // Every later outcome compares against this frame, so the jump test
    // always sees consecutive frames.
    const bool jumped = std::fabs(x - previousX) >= jumpLimit || std::fabs(y - previousY) >= jumpLimit;
    previousX = x;
    previousY = y;
    if (jumped) {
        axis = Axis::rejected;
        return std::nullopt;
    }

    if (!axis) {
        const float dx = std::fabs(x - startX);
        const float dy = std::fabs(y - startY);
        // How straight the slide is, in millimetres; how far it went, in
        // fractions of the pad.
        const float alongX = std::fabs(surface.judgedX(x - startX));
        const float alongY = std::fabs(surface.judgedY(y - startY));
        if (activationTravel <= dy && axisRatio * alongX < alongY) {
            axis = Axis::vertical;
        } else if (activationTravel <= dx && axisRatio * alongY < alongX) {
            axis = Axis::horizontal;
        } else {
            return std::nullopt;
        }
    }

    switch (*axis) {
        case Axis::horizontal:
            return slideHorizontally(x, y, edgeWidth, sensitivity);
        case Axis::vertical:
            return slideVertically(contact, x, y, edgeWidth, sensitivity, activationTravel, surface);
        case Axis::rejected:
            break;
    }
    return std::nullopt;
}

std::optional<GestureRouter::Step> GestureRouter::slideHorizontally(float x, float y, float edgeWidth,
                                                                    float sensitivity) {
    const float drift = std::fabs(y - startY);
    if (drift >= std::min(edgeWidth * 0.5f, 0.08f)) {
        axis = Axis::rejected;
        return std::nullopt;
    }
    const bool inTopBand = startY >= 1 - edgeWidth && y >= 1 - edgeWidth;
    const bool inBottomBand = startY <= edgeWidth && y <= edgeWidth;
    if (!inTopBand && !inBottomBand) {
        axis = Axis::rejected;
        return std::nullopt;
    }

    const float step = x - lastHorizontalX;
    if (std::fabs(step) < minimumStep) return std::nullopt;
    lastHorizontalX = x;

    using T = GestureTrigger;
    // A slide that starts in the upper half belongs to the top edge, even in
    // bands so wide that they overlap.
    const bool upper = startY > 0.5f;
    const T trigger = upper ? (step < 0 ? T::topLeft : T::topRight) : (step < 0 ? T::bottomLeft : T::bottomRight);
    return Step{trigger, sensitivity * std::fabs(step)};
}

std::optional<GestureRouter::Step> GestureRouter::slideVertically(qint32 contact, float x, float y, float edgeWidth,
                                                                  float sensitivity, float activationTravel,
                                                                  const TouchSurface& surface) {
    if (!vertical.identifier || *vertical.identifier != contact) {
        vertical = EdgeGesture::starting(contact, x, y, edgeWidth);
        return std::nullopt;
    }
    if (!vertical.side) return std::nullopt;

    // A little slack lets the finger wobble out of the band without losing
    // the slide.
    const float tolerance = std::min(edgeWidth * 0.15f, 0.01f);
    const bool leftTheBand =
        *vertical.side == EdgeGesture::Side::volume ? x < 1 - edgeWidth - tolerance : x > edgeWidth + tolerance;
    if (leftTheBand || std::fabs(x - vertical.startX) >= 0.08f) {
        vertical.side.reset();
        return std::nullopt;
    }

    const float stepY = y - vertical.lastY;
    if (std::fabs(stepY) >= jumpLimit) {
        vertical.side.reset();
        return std::nullopt;
    }

    if (!vertical.hasActivated) {
        const float travel = std::fabs(y - vertical.startY);
        if (travel < activationTravel) return std::nullopt;
        if (axisRatio * std::fabs(surface.judgedX(x - vertical.startX)) >=
            std::fabs(surface.judgedY(y - vertical.startY))) {
            vertical.side.reset();
            return std::nullopt;
        }
        vertical.hasActivated = true;
    }

    if (std::fabs(stepY) < minimumStep) return std::nullopt;
    vertical.lastY = y;

    using T = GestureTrigger;
    const float value = sensitivity * stepY;
    const bool up = value > 0;
    const T trigger = *vertical.side == EdgeGesture::Side::brightness ? (up ? T::leftUp : T::leftDown)
                                                                      : (up ? T::rightUp : T::rightDown);
    return Step{trigger, std::fabs(value)};
}

}  // namespace glidra
