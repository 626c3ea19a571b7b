#pragma once

#include "platform/MultitouchFramework.h"
#include "platform/evdev/AxisRange.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace glidra::evdev {

// What an evdev device says about itself: name, ids, input properties,
// supported event codes and absolute axes. Read from the header of an evemu
// recording, or filled in by the live adapter from the device.
struct DeviceDescription {
    std::string name;
    std::uint16_t bustype = 0;
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::uint16_t version = 0;
    // INPUT_PROP_* bit mask, byte 0 holding properties 0 to 7.
    std::vector<std::uint8_t> properties;
    // Supported codes per event type, as bit masks; the mask of type 0 lists
    // the supported event types.
    std::map<std::uint16_t, std::vector<std::uint8_t>> eventBits;
    std::map<std::uint16_t, AxisRange> axes;

    // Slots beyond this are ignored, so that a hostile description cannot make
    // the assembler allocate without bound. Real pads have 2 to 16.
    static constexpr int kMaxSlots = 64;

    bool hasProperty(std::uint16_t property) const { return testBit(properties, property); }
    // Only meaningful when the description lists event bits (hasEventBits()).
    bool hasEventCode(std::uint16_t type, std::uint16_t code) const;
    bool hasEventBits() const { return !eventBits.empty(); }
    std::optional<AxisRange> axis(std::uint16_t code) const;

    // Multitouch protocol B positions are described.
    bool isMultitouch() const;
    // The pad measures force rather than contact size (INPUT_PROP_PRESSUREPAD).
    bool isPressurePad() const;
    // The two slots carry the corners of the bounding box of the fingers, not
    // the fingers themselves (INPUT_PROP_SEMI_MT).
    bool isSemiMultitouch() const;
    // The whole pad is the button (INPUT_PROP_BUTTONPAD): a clickpad.
    bool isClickpad() const;
    // 1 + the maximum of ABS_MT_SLOT, 1 without that axis, at most kMaxSlots.
    int slotCount() const;
    // The extent of the multitouch position axes in millimetres, when both
    // report a resolution (units per millimetre) and span a range.
    std::optional<SurfaceDimensions> surfaceDimensions() const;
    // Some axis range was taken from the events rather than the header.
    bool hasDerivedAxes() const;

    friend bool operator==(const DeviceDescription&, const DeviceDescription&) = default;

private:
    static bool testBit(const std::vector<std::uint8_t>& bits, unsigned bit) {
        const unsigned byte = bit / 8;
        return byte < bits.size() && (bits[byte] >> (bit % 8)) & 1u;
    }
};

}  // namespace glidra::evdev
