#pragma once

#include <cstdint>

namespace glidra::evdev {

// The advertised range of one absolute axis (what EVIOCGABS reports).
struct AxisRange {
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::int32_t fuzz = 0;
    std::int32_t flat = 0;
    std::int32_t resolution = 0;
    // True when the recording carried no description of this axis and the
    // range was taken from the smallest and largest values of its events.
    bool derivedFromData = false;

    // value mapped onto 0...1 across the range, clamped: old pads report
    // positions a little outside what they advertise. A range without extent
    // maps everything to its middle.
    float fraction(std::int32_t value) const {
        if (maximum <= minimum) return 0.5f;
        const double f = (static_cast<double>(value) - minimum) / (static_cast<double>(maximum) - minimum);
        if (!(f > 0.0)) return 0.0f;
        if (f > 1.0) return 1.0f;
        return static_cast<float>(f);
    }

    friend bool operator==(const AxisRange&, const AxisRange&) = default;
};

}  // namespace glidra::evdev
