#include "gestures/ReleaseMotion.h"

#include <algorithm>

namespace glidra {

namespace {

const TouchPoint* find(std::span<const TouchPoint> contacts, qint32 id) {
    const auto it = std::find_if(contacts.begin(), contacts.end(), [id](const TouchPoint& p) { return p.id == id; });
    return it == contacts.end() ? nullptr : &*it;
}

}  // namespace

void ReleaseMotion::record(double time, std::span<const TouchPoint> contacts, float stillness) {
    if (count_ == kCapacity) {
        first_ = (first_ + 1) % kCapacity;
        --count_;
    }
    Frame& frame = frames_[(first_ + count_) % kCapacity];
    ++count_;
    frame.time = time;
    frame.complete = contacts.size() <= kMaxContacts;
    frame.count = std::uint8_t(std::min(contacts.size(), kMaxContacts));
    std::copy_n(contacts.begin(), frame.count, frame.contacts.begin());
    frame.stillness = stillness;
}

float ReleaseMotion::judgedStillness(double end, const TouchSurface& surface) const {
    if (count_ == 0) return 0;
    const float stillness = at(count_ - 1).stillness;
    // The last frame at least kWindow before the end; the first one kept
    // when the touch is younger than that.
    std::size_t start = 0;
    for (std::size_t i = count_; i-- > 0;) {
        if (at(i).time <= end - kWindow) {
            start = i;
            break;
        }
    }
    if (!(stillness > at(start).stillness)) return stillness;
    return leftTheSurface(start, surface) ? at(start).stillness : stillness;
}

bool ReleaseMotion::leftTheSurface(std::size_t from, const TouchSurface& surface) const {
    const Frame& begin = at(from);
    const Frame& end = at(count_ - 1);
    for (std::size_t i = from; i < count_; ++i) {
        if (!at(i).complete) return false;
    }
    for (const TouchPoint& finger : std::span(end.contacts.data(), end.count)) {
        const TouchPoint* origin = find(std::span(begin.contacts.data(), begin.count), finger.id);
        if (!origin) return false;
        if (!(surface.millimetres(finger.x - origin->x, finger.y - origin->y) < kLargestRoll)) return false;
        // A pad that reports no pressure says nothing either way.
        bool reportsPressure = origin->pressure > 0;
        float previous = origin->pressure;
        for (std::size_t i = from + 1; i < count_; ++i) {
            const TouchPoint* seen = find(std::span(at(i).contacts.data(), at(i).count), finger.id);
            if (!seen) continue;
            reportsPressure = reportsPressure || seen->pressure > 0;
            if (seen->pressure > previous) return false;
            previous = seen->pressure;
        }
        if (reportsPressure && !(previous < origin->pressure)) return false;
    }
    return true;
}

}  // namespace glidra
