#pragma once

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <vector>

namespace glidra {

// One contact of a contact frame, in the driver's 16-byte layout: positions
// are normalised 0...1 with x growing to the right and y growing upward (the
// top edge is 1); pressure is in the driver's raw units.
struct TouchPoint {
    qint32 id = 0;
    float x = 0;
    float y = 0;
    float pressure = 0;

    friend bool operator==(const TouchPoint&, const TouchPoint&) = default;

    // Finite and inside the pad, edges included; anything else is a glitch
    // that cancels the gesture it lands in.
    bool isOnPad() const {
        const auto inside = [](float v) { return std::isfinite(v) && v >= 0 && v <= 1; };
        return inside(x) && inside(y);
    }

    static float distance(const TouchPoint& a, const TouchPoint& b) { return std::hypot(a.x - b.x, a.y - b.y); }

    // The same fingers, in the same order (both lists sorted by identifier).
    static bool sameIdentifiers(std::span<const TouchPoint> a, std::span<const TouchPoint> b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [](const TouchPoint& p, const TouchPoint& q) { return p.id == q.id; });
    }

    // Frames list contacts in the driver's order; comparing two frames needs
    // a fixed order. Stable, so duplicate identifiers keep their frame order.
    // An insertion sort: the lists are a hand's fingers, and std::stable_sort
    // takes a heap buffer on every call.
    static void sortByIdentifier(std::span<TouchPoint> points) {
        for (std::size_t i = 1; i < points.size(); ++i) {
            const TouchPoint moving = points[i];
            std::size_t j = i;
            for (; j > 0 && points[j - 1].id > moving.id; --j) points[j] = points[j - 1];
            points[j] = moving;
        }
    }
};

// Up to four contacts sorted by identifier, on the stack: the trackers sort
// the contacts of every frame.
class SortedTouches {
public:
    static constexpr std::size_t capacity = 4;

    // `points` holds at most `capacity` contacts.
    explicit SortedTouches(std::span<const TouchPoint> points) : size_(std::min(points.size(), capacity)) {
        std::copy_n(points.begin(), size_, buffer_.begin());
        TouchPoint::sortByIdentifier(std::span<TouchPoint>(buffer_.data(), size_));
    }

    std::size_t size() const { return size_; }
    const TouchPoint* begin() const { return buffer_.data(); }
    const TouchPoint* end() const { return buffer_.data() + size_; }
    const TouchPoint& operator[](std::size_t i) const { return buffer_[i]; }
    operator std::span<const TouchPoint>() const { return {buffer_.data(), size_}; }

private:
    std::array<TouchPoint, capacity> buffer_{};
    std::size_t size_ = 0;
};

static_assert(sizeof(TouchPoint) == 16, "the bridge hands frames over as 16-byte records");

}  // namespace glidra
