#pragma once

#include <QtGlobal>

#include <optional>

namespace glidra {

// The vertical part of an edge slide: a finger sliding up or down inside the
// left or right edge band, which steers brightness or volume.
struct EdgeGesture {
    // Which band the finger started in.
    enum class Side { brightness, volume };

    std::optional<qint32> identifier;
    // Absent when the finger started in neither band, or once the slide was
    // given up; the finger then reports nothing more.
    std::optional<Side> side;
    float startX = 0;
    float startY = 0;
    // y at the last reported step.
    float lastY = 0;
    // The slide has travelled far enough, and straight enough, to count.
    bool hasActivated = false;

    friend bool operator==(const EdgeGesture&, const EdgeGesture&) = default;

    // The band an x position lies in for bands `edgeWidth` wide; the left
    // band wins when the bands overlap.
    static std::optional<Side> bandSide(float x, float edgeWidth) {
        if (x <= edgeWidth) return Side::brightness;
        if (x >= 1 - edgeWidth) return Side::volume;
        return std::nullopt;
    }

    // The state of a contact first seen at (x, y).
    static EdgeGesture starting(qint32 contact, float x, float y, float edgeWidth) {
        return EdgeGesture{contact, bandSide(x, edgeWidth), x, y, y, false};
    }
};

}  // namespace glidra
