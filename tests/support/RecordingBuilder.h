#pragma once

#include "platform/evdev/EvdevCodes.h"
#include "platform/evdev/Recording.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace glidra::test {

// Makes up a touchpad recording event by event, the way a multitouch pad
// reports a session that no bundled recording holds:
//
//   RecordingBuilder pad;                                  // a two-slot clickpad
//   pad.place(0, 1, 0.3f, 0.5f).fingers(1).report(0.00)    // a finger lands
//       .place(0, 1, 0.4f, 0.5f).report(0.01)              // and moves right
//       .lift(0).fingers(0).report(0.02);                  // and lifts
//
// Positions are fractions of the pad, y upwards, like contact frames; the
// events carry them in the pad's units, y downwards. As the kernel does, a
// slot sends only the values that changed, also across tracking ids; what a
// slot held before the recording began (held()) is not sent either.
struct SyntheticPad {
    int slots = 2;
    // The slots carry the corners of the fingers' bounding box.
    bool semiMultitouch = false;
    // The surface in millimetres and the axes' resolution in units per
    // millimetre; without a resolution the axes span 1000 units and the pad
    // does not say how large it is. A resolution for y of its own when
    // yUnitsPerMillimetre is set.
    float width = 0;
    float height = 0;
    std::int32_t unitsPerMillimetre = 0;
    std::int32_t yUnitsPerMillimetre = 0;
    // The range of ABS_MT_PRESSURE, 0 to this; none when 0.
    std::int32_t maximumPressure = 0;
};

class RecordingBuilder {
public:
    explicit RecordingBuilder(SyntheticPad pad = {})
        : xUnits_(units(pad.width, pad.unitsPerMillimetre)),
          yUnits_(units(pad.height, pad.yUnitsPerMillimetre > 0 ? pad.yUnitsPerMillimetre : pad.unitsPerMillimetre)),
          slots_(std::size_t(pad.slots)) {
        auto& d = recording_.device;
        d.name = "made-up clickpad";
        d.properties = {
            std::uint8_t(1u << evdev::kPropButtonpad | (pad.semiMultitouch ? 1u << evdev::kPropSemiMt : 0u))};
        d.axes[evdev::kAbsMtSlot] = evdev::AxisRange{0, pad.slots - 1, 0, 0, 0};
        d.axes[evdev::kAbsMtPositionX] = evdev::AxisRange{0, xUnits_, 0, 0, pad.unitsPerMillimetre};
        d.axes[evdev::kAbsMtPositionY] = evdev::AxisRange{
            0, yUnits_, 0, 0, pad.yUnitsPerMillimetre > 0 ? pad.yUnitsPerMillimetre : pad.unitsPerMillimetre};
        d.axes[evdev::kAbsMtTrackingId] = evdev::AxisRange{0, 65535, 0, 0, 0};
        if (pad.maximumPressure > 0) d.axes[evdev::kAbsMtPressure] = evdev::AxisRange{0, pad.maximumPressure, 0, 0, 0};
        recording_.hasDeviceHeader = true;
    }

    // Before the recording began, `slot` was left at (x, y) by a finger that
    // has lifted: a finger that lands there sends neither value.
    RecordingBuilder& held(int slot, float x, float y) {
        Slot& s = slots_[std::size_t(slot)];
        s.x = xUnitsOf(x);
        s.y = yUnitsOf(y);
        return *this;
    }

    // Before the recording began, the pad had `slot` selected: events for it
    // come without ABS_MT_SLOT.
    RecordingBuilder& selected(int slot) {
        slot_ = slot;
        return *this;
    }

    // The finger with tracking id `id` is in `slot` at (x, y).
    RecordingBuilder& place(int slot, std::int32_t id, float x, float y) {
        select(slot);
        Slot& s = slots_[std::size_t(slot)];
        if (s.id != id) event(evdev::kEvAbs, evdev::kAbsMtTrackingId, id);
        s.id = id;
        send(s.x, xUnitsOf(x), evdev::kAbsMtPositionX);
        send(s.y, yUnitsOf(y), evdev::kAbsMtPositionY);
        return *this;
    }

    // The finger in `slot` presses with `value` (of ABS_MT_PRESSURE).
    RecordingBuilder& press(int slot, std::int32_t value) {
        select(slot);
        send(slots_[std::size_t(slot)].pressure, value, evdev::kAbsMtPressure);
        return *this;
    }

    RecordingBuilder& lift(int slot) {
        select(slot);
        event(evdev::kEvAbs, evdev::kAbsMtTrackingId, evdev::kFreeTrackingId);
        slots_[std::size_t(slot)].id = -1;
        return *this;
    }

    // The pad's finger count (BTN_TOOL_FINGER to _QUINTTAP, and BTN_TOUCH),
    // which may exceed the slots.
    RecordingBuilder& fingers(int count) {
        if (count == fingers_) return *this;
        if (fingers_ > 0) event(evdev::kEvKey, toolKey(fingers_), 0);
        if (count > 0) event(evdev::kEvKey, toolKey(count), 1);
        if ((fingers_ > 0) != (count > 0)) event(evdev::kEvKey, evdev::kBtnTouch, count > 0 ? 1 : 0);
        fingers_ = count;
        return *this;
    }

    // The pad's physical button goes down or comes up.
    RecordingBuilder& button(bool pressed) {
        event(evdev::kEvKey, evdev::kBtnLeft, pressed ? 1 : 0);
        return *this;
    }

    // The kernel's buffer overflowed: events were lost here.
    RecordingBuilder& dropped() {
        event(evdev::kEvSyn, evdev::kSynDropped, 0);
        return *this;
    }

    // Ends the frame at `time` (seconds).
    RecordingBuilder& report(double time) {
        event(evdev::kEvSyn, evdev::kSynReport, 0);
        auto& events = recording_.events;
        std::for_each(events.begin() + std::ptrdiff_t(stamped_), events.end(), [time](auto& e) { e.time = time; });
        stamped_ = events.size();
        return *this;
    }

    const evdev::Recording& recording() const { return recording_; }

private:
    // What the kernel holds for a slot; nothing yet when empty.
    struct Slot {
        std::int32_t id = -1;
        std::optional<std::int32_t> x;
        std::optional<std::int32_t> y;
        std::optional<std::int32_t> pressure;
    };

    static std::int32_t units(float millimetres, std::int32_t resolution) {
        return resolution > 0 ? std::int32_t(std::lround(millimetres * float(resolution))) : 1000;
    }
    std::int32_t xUnitsOf(float x) const { return std::int32_t(std::lround(x * float(xUnits_))); }
    std::int32_t yUnitsOf(float y) const { return std::int32_t(std::lround((1 - y) * float(yUnits_))); }

    void send(std::optional<std::int32_t>& held, std::int32_t value, std::uint16_t code) {
        if (held == value) return;
        held = value;
        event(evdev::kEvAbs, code, value);
    }

    static std::uint16_t toolKey(int count) {
        const std::uint16_t keys[] = {evdev::kBtnToolFinger, evdev::kBtnToolDoubletap, evdev::kBtnToolTripletap,
                                      evdev::kBtnToolQuadtap, evdev::kBtnToolQuinttap};
        return keys[std::clamp(count, 1, 5) - 1];
    }

    void select(int slot) {
        if (slot != slot_) event(evdev::kEvAbs, evdev::kAbsMtSlot, slot);
        slot_ = slot;
    }

    void event(std::uint16_t type, std::uint16_t code, std::int32_t value) {
        recording_.events.push_back(evdev::EvdevEvent{0, type, code, value});
    }

    std::int32_t xUnits_;
    std::int32_t yUnits_;
    evdev::Recording recording_;
    std::vector<Slot> slots_;
    int slot_ = 0;
    int fingers_ = 0;
    std::size_t stamped_ = 0;
};

}  // namespace glidra::test
