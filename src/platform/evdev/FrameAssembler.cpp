#include "platform/evdev/FrameAssembler.h"

#include "platform/evdev/EvdevCodes.h"

#include <algorithm>
#include <cmath>

namespace glidra::evdev {

namespace {

// Bit of toolKeys_ for a BTN_TOOL_* code: the finger count minus one.
int toolBit(std::uint16_t code) {
    switch (code) {
        case kBtnToolFinger:
            return 0;
        case kBtnToolDoubletap:
            return 1;
        case kBtnToolTripletap:
            return 2;
        case kBtnToolQuadtap:
            return 3;
        case kBtnToolQuinttap:
            return 4;
        default:
            return -1;
    }
}

std::optional<Frame::Button> button(std::uint16_t code) {
    switch (code) {
        case kBtnLeft:
            return Frame::Button::left;
        case kBtnRight:
            return Frame::Button::right;
        case kBtnMiddle:
            return Frame::Button::middle;
        default:
            return std::nullopt;
    }
}

bool& buttonState(Frame::Buttons& buttons, Frame::Button b) {
    switch (b) {
        case Frame::Button::left:
            return buttons.left;
        case Frame::Button::right:
            return buttons.right;
        case Frame::Button::middle:
            break;
    }
    return buttons.middle;
}

// Beyond this, a gap between frames is a pad that rested, not its report
// rate: the brush rule looks ahead by no more.
constexpr double kLongestLookAhead = 0.020;
// Frame times come in microseconds.
constexpr double kTimeTolerance = 1e-6;

}  // namespace

FrameAssembler::FrameAssembler(const DeviceDescription& device, Options options) : options_(options) {
    const auto x = device.axis(kAbsMtPositionX);
    const auto y = device.axis(kAbsMtPositionY);
    hasPositions_ = x && y;
    if (hasPositions_) {
        xRange_ = *x;
        yRange_ = *y;
    }
    slotPressureRange_ = device.axis(kAbsMtPressure);
    if (!slotPressureRange_) padPressureRange_ = device.axis(kAbsPressure);
    pressurePad_ = device.isPressurePad();
    semiMultitouch_ = device.isSemiMultitouch();
    slots_.resize(static_cast<std::size_t>(device.slotCount()));
    reusesDepartedIds_ = slotCount() <= 2;
}

void FrameAssembler::reset() {
    const auto count = slots_.size();
    slots_.assign(count, Slot{});
    currentSlot_ = 0;
    touchKey_ = false;
    touchKeySeen_ = false;
    toolKeys_ = 0;
    toolKeySeen_ = false;
    padPressure_ = 0;
    buttons_ = {};
    buttonChanges_.clear();
    syntheticIds_.clear();
    nextSynthetic_ = 0;
    departedSlotIds_.clear();
    departedSyntheticIds_.clear();
    dropped_ = false;
    withholding_ = false;
    peaks_ = {};
    peakCount_ = 0;
    nextPeak_ = 0;
    brushThreshold_.reset();
    lastFrameTime_.reset();
}

void FrameAssembler::seed(const DeviceState& state) {
    const std::size_t count = std::min(state.slots.size(), slots_.size());
    for (std::size_t i = 0; i < count; ++i) {
        Slot& slot = slots_[i];
        static_cast<DeviceState::SlotValues&>(slot) = state.slots[i];
        if (slot.trackingId < 0) slot.trackingId = -1;
        // The kernel holds these, so it sends none of them again until they
        // change.
        slot.hasX = true;
        slot.hasY = true;
        slot.hasPressure = true;
    }
    currentSlot_ = state.currentSlot >= 0 && state.currentSlot < slotCount() ? state.currentSlot : 0;
    for (const std::uint16_t code : state.heldKeys) {
        if (code == kBtnTouch || toolBit(code) >= 0) key(code, 1);
    }
}

std::optional<Frame> FrameAssembler::feed(const EvdevEvent& event) {
    return feed(event.time, event.type, event.code, event.value);
}

std::optional<Frame> FrameAssembler::feed(double time, std::uint16_t type, std::uint16_t code, std::int32_t value) {
    Frame frame;
    if (feed(EvdevEvent{time, type, code, value}, frame)) return frame;
    return std::nullopt;
}

bool FrameAssembler::feed(const EvdevEvent& event, Frame& frame) {
    const std::uint16_t code = event.code;
    const std::int32_t value = event.value;
    switch (event.type) {
        case kEvSyn:
            if (code == kSynReport) {
                finish(event.time, frame);
                return true;
            }
            if (code == kSynDropped) {
                dropped_ = true;
                withholding_ = true;
                syntheticIds_.clear();
                departedSlotIds_.clear();
                departedSyntheticIds_.clear();
            }
            return false;
        case kEvKey:
            key(code, value);
            return false;
        case kEvAbs:
            absolute(code, value);
            return false;
        default:
            return false;
    }
}

void FrameAssembler::key(std::uint16_t code, std::int32_t value) {
    const bool down = value != 0;  // 2 is autorepeat: still down
    if (code == kBtnTouch) {
        touchKey_ = down;
        touchKeySeen_ = true;
        return;
    }
    if (const int bit = toolBit(code); bit >= 0) {
        toolKeySeen_ = true;
        if (down) {
            toolKeys_ |= 1u << bit;
        } else {
            toolKeys_ &= ~(1u << bit);
        }
        return;
    }
    if (const auto b = button(code)) {
        bool& state = buttonState(buttons_, *b);
        if (state != down) {
            state = down;
            buttonChanges_.push_back({*b, down});
        }
    }
}

void FrameAssembler::absolute(std::uint16_t code, std::int32_t value) {
    if (code == kAbsPressure) {
        padPressure_ = value;
        return;
    }
    if (code == kAbsMtSlot) {
        currentSlot_ = value >= 0 && value < slotCount() ? value : -1;
        return;
    }
    if (currentSlot_ < 0) return;
    Slot& slot = slots_[static_cast<std::size_t>(currentSlot_)];
    switch (code) {
        case kAbsMtTrackingId:
            slot.trackingId = value < 0 ? -1 : value;
            break;
        case kAbsMtPositionX:
            slot.x = value;
            slot.hasX = true;
            break;
        case kAbsMtPositionY:
            slot.y = value;
            slot.hasY = true;
            break;
        case kAbsMtPressure:
            slot.pressure = value;
            slot.hasPressure = true;
            break;
        case kAbsMtDistance:
            slot.distance = value;
            break;
        default:
            break;
    }
}

bool FrameAssembler::touchKeyDecides() const {
    switch (options_.touchSignal) {
        case TouchSignal::touchKey:
            return true;
        case TouchSignal::tracking:
            return false;
        case TouchSignal::automatic:
            break;
    }
    return touchKeySeen_;
}

int FrameAssembler::fingerCount() const {
    for (int bit = 4; bit >= 0; --bit) {
        if (toolKeys_ & (1u << bit)) return bit + 1;
    }
    return 0;
}

void FrameAssembler::finish(double time, Frame& frame) {
    frame.time = time;
    frame.buttons = buttons_;
    frame.buttonChanges.assign(buttonChanges_.begin(), buttonChanges_.end());
    buttonChanges_.clear();
    frame.contacts.clear();
    frame.interrupted = dropped_;
    dropped_ = false;
    judgeBrushes(time);
    if (withholding_) {
        // With neither BTN_TOUCH nor a tool key down nothing is near the pad:
        // a slot still tracked lost its release in the gap.
        if (toolKeySeen_ && toolKeys_ == 0 && !touchKey_) {
            for (auto& slot : slots_) slot.trackingId = -1;
        }
        if (anyContactTouching()) return;
        withholding_ = false;
        syntheticIds_.clear();  // none of them was ever delivered
    }
    contacts(frame.contacts);
}

float FrameAssembler::pressureOf(const Slot& slot) const {
    if (slotPressureRange_)
        return slot.hasPressure ? rawPressure(slot.pressure, *slotPressureRange_, pressurePad_) : 0.0f;
    if (padPressureRange_) return rawPressure(padPressure_, *padPressureRange_, pressurePad_);
    return 0.0f;
}

bool FrameAssembler::reachesSurface(const Slot& slot) const {
    return slot.trackingId >= 0 && slot.hasX && slot.hasY && (!touchKeyDecides() || touchKey_) && slot.distance <= 0;
}

std::optional<float> FrameAssembler::learnedBrushThreshold() const {
    if (!slotPressureRange_ || peakCount_ < kLearnedContacts) return std::nullopt;
    std::array<float, kPeakMemory> peaks = peaks_;
    const auto end = peaks.begin() + peakCount_;
    const auto middle = peaks.begin() + peakCount_ / 2;
    std::nth_element(peaks.begin(), middle, end);
    float median = *middle;
    if (peakCount_ % 2 == 0) median = (median + *std::max_element(peaks.begin(), middle)) / 2;
    return median / 2;
}

void FrameAssembler::endStretch(Slot& slot) {
    if (slot.deliberate && slotPressureRange_) {
        peaks_[std::size_t(nextPeak_)] = slot.peakPressure;
        nextPeak_ = (nextPeak_ + 1) % kPeakMemory;
        peakCount_ = std::min(peakCount_ + 1, kPeakMemory);
        brushThreshold_ = learnedBrushThreshold();
    }
    slot.stretchFor = -1;
    slot.deliberate = false;
    slot.landsNow = false;
}

void FrameAssembler::judgeBrushes(double time) {
    const std::optional<float> threshold = brushThreshold_;
    // The age a contact will have by the next frame decides, so that none
    // waits longer than kBrushTime.
    const double lookAhead = lastFrameTime_ ? std::clamp(time - *lastFrameTime_, 0.0, kLongestLookAhead) : 0.0;
    lastFrameTime_ = time;
    for (Slot& slot : slots_) {
        slot.landsNow = false;
        const bool onSurface = reachesSurface(slot);
        if (slot.stretchFor >= 0 && (!onSurface || slot.trackingId != slot.stretchFor)) endStretch(slot);
        if (!onSurface) continue;
        const float pressure = pressureOf(slot);
        if (slot.stretchFor < 0) {
            slot.stretchFor = slot.trackingId;
            slot.landedAt = time;
            slot.landedX = xRange_.fraction(slot.x);
            slot.landedY = 1.0f - yRange_.fraction(slot.y);
            slot.peakPressure = pressure;
        } else {
            slot.peakPressure = std::max(slot.peakPressure, pressure);
        }
        if (!slot.deliberate &&
            (!threshold || pressure >= *threshold || time - slot.landedAt + lookAhead >= kBrushTime - kTimeTolerance)) {
            slot.deliberate = true;
            slot.landsNow = time > slot.landedAt;
        }
    }
}

bool FrameAssembler::anyContactTouching() {
    contacts(scratch_);
    return std::any_of(scratch_.begin(), scratch_.end(), [](const Frame::Contact& c) { return c.touching; });
}

void FrameAssembler::levelCorners(Frame::Contact& a, Frame::Contact& b) {
    const float cx = (a.x + b.x) / 2;
    const float cy = (a.y + b.y) / 2;
    const float spread = std::hypot(b.x - a.x, b.y - a.y);
    // Keep the spread where the pad allows: shift inwards rather than clamp.
    const float left = std::clamp(cx - spread / 2, 0.0f, std::max(0.0f, 1.0f - spread));
    Frame::Contact& first = a.id <= b.id ? a : b;
    Frame::Contact& second = a.id <= b.id ? b : a;
    first.x = left;
    second.x = std::min(1.0f, left + spread);
    first.y = cy;
    second.y = cy;
}

std::optional<std::int32_t> FrameAssembler::takeLast(std::vector<std::int32_t>& ids) {
    if (ids.empty()) return std::nullopt;
    const std::int32_t id = ids.back();
    ids.pop_back();
    return id;
}

void FrameAssembler::depart(std::vector<std::int32_t>& departed, std::int32_t id) const {
    if (reusesDepartedIds_) departed.push_back(id);
}

void FrameAssembler::contacts(std::vector<Frame::Contact>& out) {
    placedContacts(out);
    // Nothing touches: the touch is over, and a finger that comes now is new.
    if (std::none_of(out.begin(), out.end(), [](const Frame::Contact& c) { return c.touching; })) {
        departedSlotIds_.clear();
        departedSyntheticIds_.clear();
    }
}

void FrameAssembler::placedContacts(std::vector<Frame::Contact>& out) {
    out.clear();
    if (!hasPositions_) return;

    // Fingers that left their slot go first, so that one landing in the same
    // frame can take the id of one that left.
    for (Slot& slot : slots_) {
        if (slot.deliveredFor >= 0 && slot.deliveredFor != slot.trackingId) {
            depart(departedSlotIds_, slot.deliveredId);
            slot.deliveredFor = -1;
        }
    }

    const bool touching = !touchKeyDecides() || touchKey_;
    int tracked = 0;
    double sumX = 0;
    double sumY = 0;
    // Only the contacts the pad placed, which are all of them but the ones
    // held back.
    int located = 0;
    bool undecided = false;
    for (Slot& slot : slots_) {
        if (slot.trackingId < 0) continue;
        ++tracked;
        if (!slot.hasX || !slot.hasY) continue;
        if (slot.deliveredFor != slot.trackingId) {
            slot.deliveredFor = slot.trackingId;
            slot.deliveredId = takeLast(departedSlotIds_).value_or(slot.trackingId);
        }
        Frame::Contact c;
        c.id = slot.deliveredId;
        c.pressure = pressureOf(slot);
        c.touching = reachesSurface(slot) && slot.deliberate;
        undecided = undecided || (reachesSurface(slot) && !slot.deliberate);
        c.x = slot.landsNow ? slot.landedX : xRange_.fraction(slot.x);
        c.y = slot.landsNow ? slot.landedY : 1.0f - yRange_.fraction(slot.y);
        sumX += c.x;
        sumY += c.y;
        ++located;
        out.push_back(c);
    }
    if (located == 0) {
        out.clear();
        syntheticIds_.clear();
        return;
    }
    const auto cx = static_cast<float>(sumX / located);
    const auto cy = static_cast<float>(sumY / located);
    if (semiMultitouch_ && out.size() == 2) levelCorners(out[0], out[1]);

    // Counted beyond its slots, the pad has lost track of where its fingers
    // are: a finger it names but has not placed is one of the missing ones.
    const int missing = tracked >= slotCount() && fingerCount() > tracked ? fingerCount() - located : 0;
    while (static_cast<int>(syntheticIds_.size()) > std::max(missing, 0)) {
        depart(departedSyntheticIds_, syntheticIds_.back());
        syntheticIds_.pop_back();
    }
    if (missing <= 0) return;
    while (static_cast<int>(syntheticIds_.size()) < missing) {
        if (const auto returning = takeLast(departedSyntheticIds_)) {
            syntheticIds_.push_back(*returning);
            continue;
        }
        syntheticIds_.push_back(Frame::kSyntheticIdBase + nextSynthetic_);
        nextSynthetic_ = (nextSynthetic_ + 1) % Frame::kSyntheticIdBase;
    }
    double pressureSum = 0;
    for (const auto& c : out) pressureSum += c.pressure;
    const auto pressure = static_cast<float>(pressureSum / static_cast<double>(out.size()));
    // They touch as the tracked fingers do: not while one of those may still
    // be a brush.
    for (const std::int32_t id : syntheticIds_) {
        out.push_back(Frame::Contact{id, cx, cy, pressure, touching && !undecided, true, false});
    }
}

FrameAssembler::Options FrameAssembler::optionsFor(const Recording& recording) {
    return optionsFor(recording.reportsTouchKey());
}

FrameAssembler::Options FrameAssembler::optionsFor(bool reportsTouchKey) {
    return Options{reportsTouchKey ? TouchSignal::touchKey : TouchSignal::tracking};
}

std::vector<Frame> FrameAssembler::assemble(const Recording& recording) {
    FrameAssembler assembler(recording.device, optionsFor(recording));
    std::vector<Frame> frames;
    for (const auto& event : recording.events) {
        if (auto frame = assembler.feed(event)) frames.push_back(std::move(*frame));
    }
    return frames;
}

float FrameAssembler::rawPressure(std::int32_t value, const AxisRange& range, bool pressurePad) {
    return range.fraction(value) * (pressurePad ? kPressurePadFullScale : kOrdinaryPadFullScale);
}

}  // namespace glidra::evdev
