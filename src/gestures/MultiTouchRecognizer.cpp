#include "gestures/MultiTouchRecognizer.h"

#include "gestures/GestureSessionContext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace glidra {

namespace {

using Kind = GestureDescriptor::Kind;

// A finger landing later than this after the first one starts a different
// gesture rather than joining the current one.
constexpr double joinWindow = 0.18;
// A centroid step this large between frames is a hand that left and came
// back, not motion.
constexpr float maxCentroidJump = 0.2f;
// Smallest centroid step worth a path sample.
constexpr float pathSampleSpacing = 0.006f;

// A centroid travel this many times the fingers' motion relative to each
// other makes a slide rather than a pinch or a turn.
constexpr float slideToRelativeMotion = 1.5f;

// Multi-tap counting: the next tap must lift within this time of the last
// one and start this close to where it started.
constexpr double multiTapInterval = 0.35;
constexpr float multiTapDistance = 0.08f;

// A swipe that starts this soon after a tap, near it, is a tap-swipe.
constexpr double tapSwipeDelay = 0.4;
constexpr double tapSwipeMaxDuration = 0.8;
constexpr float tapSwipeDistance = 0.1f;

// Distances between entries of equal index, as many as the shorter holds,
// of the at most four fingers a gesture has: on the stack.
struct Displacements {
    std::array<float, 4> values{};
    std::size_t count = 0;
    const float* begin() const { return values.data(); }
    const float* end() const { return values.data() + count; }
    float operator[](std::size_t i) const { return values[i]; }
};

Displacements displacements(std::span<const TouchPoint> from, std::span<const TouchPoint> to) {
    Displacements result;
    result.count = std::min({from.size(), to.size(), result.values.size()});
    for (std::size_t i = 0; i < result.count; ++i) result.values[i] = TouchPoint::distance(from[i], to[i]);
    return result;
}

float meanPairwiseDistance(std::span<const TouchPoint> points) {
    if (points.empty()) return 0;
    float sum = 0;
    int pairs = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        for (std::size_t j = i + 1; j < points.size(); ++j) {
            sum += TouchPoint::distance(points[i], points[j]);
            ++pairs;
        }
    }
    return sum / float(std::max(pairs, 1));
}

GestureDescriptor gesture(Kind kind, int fingers, GestureDescriptor::Direction direction) {
    return GestureDescriptor{kind, fingers, direction, 1};
}

}  // namespace

TouchPoint MultiTouchRecognizer::centroid(std::span<const TouchPoint> points) {
    return glidra::centroid(points).value_or(TouchPoint{});
}

std::optional<Kind> MultiTouchRecognizer::multiFingerPinch(std::span<const TouchPoint> from,
                                                           std::span<const TouchPoint> to) {
    const std::size_t count = from.size();
    if (count < 3 || count > 4 || to.size() != count || !TouchPoint::sameIdentifiers(from, to)) return std::nullopt;

    // One finger may stay put (a thumb anchoring the pinch); the others move.
    const Displacements moved = displacements(from, to);
    const auto moving = std::count_if(moved.begin(), moved.end(), [](float d) { return d > 0.025f; });
    if (std::size_t(moving) < count - 1) return std::nullopt;

    const float s0 = meanPairwiseDistance(from);
    const float s1 = meanPairwiseDistance(to);
    const float change = std::abs(s1 - s0);
    if (!(s0 > 0.08f && change > 0.035f && change / s0 > 0.22f)) return std::nullopt;
    return s1 < s0 ? Kind::pinchIn : Kind::pinchOut;
}

void MultiTouchRecognizer::resetMotion() {
    startTime.reset();
    baseline.clear();
    last.clear();
    path.clear();
    peakCount = 0;
    maxTravel = 0;
    stillnessTravel = 0;
    release.clear();
    motionTime.reset();
    cancelled = false;
}

std::optional<GestureDescriptor> MultiTouchRecognizer::update(std::span<const TouchPoint> points,
                                                              std::optional<float> forceThreshold, double timestamp) {
    const bool forcePressed = forcePress.hasTriggered;
    if (forceThreshold) {
        if (auto pressed = forcePress.update(points, timestamp, *forceThreshold)) {
            resetMotion();
            lastTapTime = -std::numeric_limits<double>::infinity();
            return pressed;
        }
    } else if (!forcePressed) {
        forcePress.reset();
    }

    // Once a force press has fired, the fingers belong to it until they all
    // lift: whatever they do next is not another gesture.
    if (forcePressed) {
        if (points.empty()) forcePress.reset();
        resetMotion();
        return std::nullopt;
    }

    if (!std::isfinite(timestamp)) {
        // An empty frame while nothing is in progress has nothing to cancel;
        // marking it would swallow the next, valid gesture.
        if (!points.empty() || startTime) cancelled = true;
        return std::nullopt;
    }
    if (points.empty()) return lift(timestamp);

    if (points.size() > 4 ||
        !std::all_of(points.begin(), points.end(), [](const TouchPoint& p) { return p.isOnPad(); })) {
        // Judged at the lift; a palm or a glitch must not turn into a gesture.
        cancelled = true;
        return std::nullopt;
    }

    // At most four contacts get here: sort them on the stack, since this runs
    // for every frame of every device.
    std::array<TouchPoint, 4> buffer;
    std::copy(points.begin(), points.end(), buffer.begin());
    const std::span<TouchPoint> sorted(buffer.data(), points.size());
    TouchPoint::sortByIdentifier(sorted);
    track(sorted, timestamp);
    return std::nullopt;
}

void MultiTouchRecognizer::track(std::span<const TouchPoint> sorted, double timestamp) {
    const int count = int(sorted.size());
    if (!startTime) {
        startTime = timestamp;
        peakCount = count;
        // Sized once for the longest path: a touch longer than the ones
        // before must not allocate mid-gesture.
        path.reserve(maxPathLength);
        path.assign(1, centroid(sorted));
        baseline.assign(sorted.begin(), sorted.end());
        last.assign(sorted.begin(), sorted.end());
        release.record(timestamp, sorted, stillnessTravel);
        return;
    }

    if (count > peakCount) {
        // Fingers of one gesture land together; a late join or one after the
        // hand already moved is a different gesture.
        if (timestamp - *startTime > joinWindow || stillnessTravel > travelThreshold(recognitionLevel)) {
            cancelled = true;
        }
        peakCount = count;
        path.assign(1, centroid(sorted));
        baseline.assign(sorted.begin(), sorted.end());
        last.assign(sorted.begin(), sorted.end());
        release.clear();
        release.record(timestamp, sorted, stillnessTravel);
        return;
    }

    // Some fingers lifted before the others: the motion is judged at the
    // final lift against the last frame that had all of them.
    if (count < peakCount) return;

    if (!TouchPoint::sameIdentifiers(sorted, baseline)) {
        cancelled = true;
        return;
    }

    const TouchPoint c = centroid(sorted);
    if (!path.empty() && TouchPoint::distance(c, path.back()) > maxCentroidJump) cancelled = true;

    for (std::size_t i = 0; i < std::min(sorted.size(), baseline.size()); ++i) {
        maxTravel = std::max(maxTravel, TouchPoint::distance(sorted[i], baseline[i]));
        stillnessTravel = std::max(stillnessTravel, surface.stillnessDistance(baseline[i], sorted[i]));
    }
    if (!motionTime && maxTravel > travelThreshold(recognitionLevel)) motionTime = timestamp;

    if (!path.empty() && TouchPoint::distance(c, path.back()) > pathSampleSpacing) {
        if (path.size() < maxPathLength) {
            path.push_back(c);
        } else {
            cancelled = true;
        }
    }
    last.assign(sorted.begin(), sorted.end());
    release.record(timestamp, sorted, stillnessTravel);
}

std::optional<GestureDescriptor> MultiTouchRecognizer::lift(double timestamp) {
    constexpr double never = -std::numeric_limits<double>::infinity();
    if (!startTime) {
        // A touch that never opened a session (five fingers, an off-pad
        // contact) may have marked it cancelled; that must not outlive the
        // touch and swallow the next gesture.
        cancelled = false;
        return std::nullopt;
    }
    if (cancelled) {
        lastTapTime = never;
        resetMotion();
        return std::nullopt;
    }

    std::optional<GestureDescriptor> result =
        classify(timestamp - *startTime, release.judgedStillness(timestamp, surface));
    if (!result) {
        lastTapTime = never;
        resetMotion();
        return std::nullopt;
    }

    const TouchPoint start = centroid(baseline);
    if (result->kind == Kind::tap) {
        int count = 1;
        if (lastTapCenter && timestamp - lastTapTime < multiTapInterval &&
            TouchPoint::distance(*lastTapCenter, start) < multiTapDistance && lastTapFingers == peakCount) {
            count = tapCount % 3 + 1;
        }
        lastTapTime = timestamp;
        lastTapCenter = start;
        lastTapFingers = peakCount;
        tapCount = count;
        result->tapCount = count;
        resetMotion();
        return result;
    }

    if (result->kind == Kind::swipe && timestamp - *startTime < tapSwipeMaxDuration &&
        *startTime - lastTapTime < tapSwipeDelay && lastTapFingers == peakCount && lastTapCenter &&
        TouchPoint::distance(*lastTapCenter, start) < tapSwipeDistance) {
        result->kind = Kind::tapSwipe;
    }
    lastTapTime = never;
    resetMotion();
    return result;
}

std::optional<GestureDescriptor> MultiTouchRecognizer::classify(double duration, float stillness) const {
    if (!(duration >= 0.025 && duration < 8) || baseline.empty()) return std::nullopt;

    const float threshold = travelThreshold(recognitionLevel);
    const float swipe = swipeDistance(recognitionLevel);
    const float scale = swipeScale(recognitionLevel);
    const TouchPoint c0 = centroid(baseline);
    const TouchPoint c1 = centroid(last);
    const float dx = c1.x - c0.x;
    const float dy = c1.y - c0.y;
    // Only the kinds that use a direction judge the angle the hand made,
    // which pads wider than tall distort as fractions; the others carry a
    // placeholder that no rule compares, left as the fractions give it.
    const auto direction = GestureDescriptor::directionOf(dx, dy);
    const float closing = TouchPoint::distance(c0, c1);
    // Over a long scroll the fingers drift a little closer or apart and their
    // line turns a little: a centroid that travelled well beyond that motion
    // of the fingers relative to each other was a slide. Pinching towards or
    // turning about an anchored finger moves the centroid half the change of
    // distance and nearly the arc of the turn, so those stay what they are.
    const auto slid = [closing](float relativeMotion) { return closing >= slideToRelativeMotion * relativeMotion; };

    if (peakCount == 2 && baseline.size() == 2 && last.size() == 2) {
        // One finger holds still while the other slides.
        const Displacements moved = displacements(baseline, last);
        const std::size_t mover = moved[0] > moved[1] ? 0 : 1;
        if (std::min(moved[0], moved[1]) < threshold && std::max(moved[0], moved[1]) > scale * 0.15f) {
            const auto moverDirection =
                surface.direction(last[mover].x - baseline[mover].x, last[mover].y - baseline[mover].y);
            return gesture(Kind::anchorSwipe, 2, moverDirection);
        }

        const float d0 = TouchPoint::distance(baseline[0], baseline[1]);
        if (d0 > 0.08f) {
            const float d1 = TouchPoint::distance(last[0], last[1]);
            const float a0 = std::atan2(baseline[1].y - baseline[0].y, baseline[1].x - baseline[0].x);
            const float a1 = std::atan2(last[1].y - last[0].y, last[1].x - last[0].x);
            const float turn = a1 - a0;
            const float rotation = std::atan2(std::sin(turn), std::cos(turn));
            const float ratio = (d1 - d0) / d0;
            // The way each finger went round their midpoint.
            const float arc = std::abs(rotation) * (d0 + d1) / 4;
            if (std::abs(rotation) > scale * 0.4f && std::abs(ratio) < std::abs(rotation) && !slid(arc)) {
                return gesture(rotation >= 0 ? Kind::rotateCounterclockwise : Kind::rotateClockwise, 2, direction);
            }
            if (std::abs(ratio) > scale * 0.22f && std::abs(d1 - d0) > scale * 0.035f && !slid(std::abs(d1 - d0))) {
                return gesture(ratio >= 0 ? Kind::pinchOut : Kind::pinchIn, 2, direction);
            }
        }
    }

    if (const auto pinch = multiFingerPinch(baseline, last)) {
        // A deliberate pinch must also travel a little, so a hand that merely
        // settles is not read as one.
        const float spreadChange = std::abs(meanPairwiseDistance(last) - meanPairwiseDistance(baseline));
        if (!(recognitionLevel == GestureRecognitionLevel::deliberate && maxTravel < 0.05f) && !slid(spreadChange)) {
            return gesture(*pinch, peakCount, direction);
        }
    }

    float length = 0;
    float minX = path.empty() ? 0 : path.front().x;
    float maxX = minX;
    float minY = path.empty() ? 0 : path.front().y;
    float maxY = minY;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i > 0) length += TouchPoint::distance(path[i - 1], path[i]);
        minX = std::min(minX, path[i].x);
        maxX = std::max(maxX, path[i].x);
        minY = std::min(minY, path[i].y);
        maxY = std::max(maxY, path[i].y);
    }
    const float rangeX = maxX - minX;
    const float rangeY = maxY - minY;

    if (path.size() >= 10 && rangeX > scale * 0.12f && rangeY > scale * 0.12f && length > scale * 0.45f &&
        closing < 0.08f) {
        return gesture(Kind::circle, peakCount, direction);
    }
    if (length > scale * 0.3f && std::max(rangeX, rangeY) > swipe && closing < 0.07f) {
        return gesture(Kind::backAndForth, peakCount, direction);
    }

    if (closing >= swipe) {
        const double hold = motionTime.value_or(0) - *startTime;
        return gesture(hold >= 0.45 ? Kind::holdSwipe : Kind::swipe, peakCount, surface.direction(dx, dy));
    }

    // Still, as judged at the lift: a finger that rolls off the pad as it
    // lifts still tapped.
    if (stillness < threshold) {
        if (duration <= 0.3) return gesture(Kind::tap, peakCount, direction);
        if (duration >= 0.6) return gesture(Kind::longPress, peakCount, direction);
    }
    return std::nullopt;
}

}  // namespace glidra
