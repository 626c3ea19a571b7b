#pragma once

#include "gestures/GestureDescriptor.h"
#include "gestures/TouchPoint.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace glidra::test {

// One contact frame as the driver delivers it: its timestamp (seconds) and
// its contacts in frame order.
struct Frame {
    double time = 0;
    std::vector<TouchPoint> points;
};

// Builds a sequence of contact frames by describing what the fingers do:
//
//   frames().touch(1, 0.5f, 0.5f).at(1.00)       // a finger lands
//           .moveTo(1, 0.7f, 0.5f).over(1.20, 8)  // and slides right in 8 frames
//           .up(1.25)                             // all fingers lift
//
// touch/moveTo/press/lift change the pending contacts; at, over, along, hold
// and up emit frames. Contacts keep their landing order within a frame.
class FrameBuilder {
public:
    // Places a contact (lands it, or moves it when it is already down).
    FrameBuilder& touch(qint32 id, float x, float y, float pressure = 0) {
        auto it = std::find_if(pending_.begin(), pending_.end(), [id](const TouchPoint& p) { return p.id == id; });
        if (it == pending_.end()) {
            pending_.push_back(TouchPoint{id, x, y, pressure});
        } else {
            *it = TouchPoint{id, x, y, pressure};
        }
        return *this;
    }

    // Moves a contact that is down; keeps its pressure.
    FrameBuilder& moveTo(qint32 id, float x, float y) {
        if (TouchPoint* p = find(id)) {
            p->x = x;
            p->y = y;
        }
        return *this;
    }

    FrameBuilder& moveBy(qint32 id, float dx, float dy) {
        if (TouchPoint* p = find(id)) {
            p->x += dx;
            p->y += dy;
        }
        return *this;
    }

    FrameBuilder& press(qint32 id, float pressure) {
        if (TouchPoint* p = find(id)) p->pressure = pressure;
        return *this;
    }

    // Sets the pressure of every contact that is down.
    FrameBuilder& pressAll(float pressure) {
        for (TouchPoint& p : pending_) p.pressure = pressure;
        return *this;
    }

    FrameBuilder& lift(qint32 id) {
        std::erase_if(pending_, [id](const TouchPoint& p) { return p.id == id; });
        return *this;
    }

    // Emits one frame of the pending contacts at time t.
    FrameBuilder& at(double t) {
        frames_.push_back(Frame{t, pending_});
        emitted_ = pending_;
        return *this;
    }

    // Emits `steps` frames evenly spaced up to time `until`, moving each
    // contact linearly from where the last frame had it to its pending place.
    // Contacts that landed since the last frame stay where they were placed.
    FrameBuilder& over(double until, int steps) {
        const std::vector<TouchPoint> target = pending_;
        const std::vector<TouchPoint> from = emitted_;
        const double start = lastTime();
        for (int i = 1; i <= steps; ++i) {
            const double u = double(i) / steps;
            std::vector<TouchPoint> frame = target;
            for (TouchPoint& p : frame) {
                auto it = std::find_if(from.begin(), from.end(), [&p](const TouchPoint& f) { return f.id == p.id; });
                if (it == from.end()) continue;
                p.x = lerp(it->x, p.x, u);
                p.y = lerp(it->y, p.y, u);
                p.pressure = lerp(it->pressure, p.pressure, u);
            }
            frames_.push_back(Frame{start + (until - start) * u, std::move(frame)});
        }
        emitted_ = target;
        return *this;
    }

    // Emits `steps` frames evenly spaced up to time `until`, each contact at
    // the place that `place(id, u)` gives for the fraction u in (0, 1].
    FrameBuilder& along(double until, int steps, const std::function<std::pair<float, float>(qint32, double)>& place) {
        const double start = lastTime();
        for (int i = 1; i <= steps; ++i) {
            const double u = double(i) / steps;
            for (TouchPoint& p : pending_) std::tie(p.x, p.y) = place(p.id, u);
            frames_.push_back(Frame{start + (until - start) * u, pending_});
        }
        emitted_ = pending_;
        return *this;
    }

    // Emits frames of the unchanged contacts every `step` seconds up to and
    // including `until`, as a resting hand produces them.
    FrameBuilder& hold(double until, double step = 0.01) {
        const double start = lastTime();
        const int steps = std::max(1, int(std::lround((until - start) / step)));
        for (int i = 1; i <= steps; ++i) frames_.push_back(Frame{start + (until - start) * i / steps, pending_});
        emitted_ = pending_;
        return *this;
    }

    // Lifts every contact and emits the empty frame at time t.
    FrameBuilder& up(double t) {
        pending_.clear();
        return at(t);
    }

    double lastTime() const { return frames_.empty() ? 0 : frames_.back().time; }
    const std::vector<Frame>& build() const { return frames_; }
    operator const std::vector<Frame>&() const { return frames_; }

    // Appends the frames of another builder (a later part of one recording).
    FrameBuilder& then(const FrameBuilder& next) {
        frames_.insert(frames_.end(), next.frames_.begin(), next.frames_.end());
        pending_ = next.pending_;
        emitted_ = next.emitted_;
        return *this;
    }

private:
    static float lerp(float a, float b, double u) { return float(a + (b - a) * u); }

    TouchPoint* find(qint32 id) {
        auto it = std::find_if(pending_.begin(), pending_.end(), [id](const TouchPoint& p) { return p.id == id; });
        return it == pending_.end() ? nullptr : &*it;
    }

    std::vector<TouchPoint> pending_;
    std::vector<TouchPoint> emitted_;
    std::vector<Frame> frames_;
};

inline FrameBuilder frames() { return {}; }

// A recognised gesture as one readable line, "swipe 1 right 1" (kind,
// fingers, direction, tap count), or "none": tables of expected gestures
// stay short and failures print what was seen.
inline std::string describe(const std::optional<GestureDescriptor>& gesture) {
    if (!gesture) return "none";
    return std::string(enumRow(gesture->kind).raw) + " " + std::to_string(gesture->fingers) + " " +
           enumRow(gesture->direction).raw + " " + std::to_string(gesture->tapCount);
}

}  // namespace glidra::test
