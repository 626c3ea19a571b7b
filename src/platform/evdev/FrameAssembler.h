#pragma once

#include "platform/evdev/AxisRange.h"
#include "platform/evdev/DeviceDescription.h"
#include "platform/evdev/EvdevEvent.h"
#include "platform/evdev/Frame.h"
#include "platform/evdev/Recording.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace glidra::evdev {

// Turns the event stream of a multitouch touchpad (protocol B) into contact
// frames. A plain value: feed it one event at a time, in the order the device
// reports them; every SYN_REPORT returns the frame it closes. A recording and
// a live device are fed the same way.
//
// Slots. ABS_MT_SLOT selects the slot that the following ABS_MT_* events
// describe, and stays selected across frames; before any ABS_MT_SLOT the slot
// is 0. Only changes are reported, so every slot keeps its last values, also
// when it gets a new tracking id. ABS_MT_TRACKING_ID -1 frees the slot. What
// the device held before its first event (a live node's slots when it is
// opened) comes in through seed(). A slot that has a tracking id but lacks an
// axis it has never reported (a recording starts in mid-stream, a slot's
// first touch repeats the value its last one left, or a semi-multitouch pad
// names a second finger without placing it) is held back until it has
// reported both: its true place is unknown, and a guess would read as motion
// once the value comes. While the pad counts more fingers than it has slots,
// such a finger counts among the missing ones below instead.
// ABS_MT_SLOT values outside the device's slots are ignored together with the
// ABS_MT_* events that follow them.
//
// Positions. ABS_MT_POSITION_X/Y are mapped across the device's advertised
// ranges: x = 0 at the left edge, y = 0 at the bottom edge (the device counts
// from the top). Values a little outside the range, which old pads report,
// are clamped into 0...1.
//
// Touching. With TouchSignal::touchKey a tracked contact touches while
// BTN_TOUCH is down; before that it only hovers and is delivered with touching
// false. With TouchSignal::tracking every tracked contact touches (pads that
// never report BTN_TOUCH). TouchSignal::automatic behaves as tracking until
// the first BTN_TOUCH event and as touchKey from then on. A slot reporting
// ABS_MT_DISTANCE above 0 hovers in every mode.
//
// Brushes. On a pad that reports ABS_MT_PRESSURE, a finger that merely brushes
// the surface is no touch. Once the pad has seen kLearnedContacts deliberate
// contacts, a new contact touches only when its pressure reaches half the
// median peak pressure of the last ones (up to kPeakMemory of them), or when
// it has lasted kBrushTime, whichever comes first; until then it hovers, and
// one that lifts before either never touched. A contact that becomes
// deliberate touches first where it landed, so the motion it made meanwhile
// still counts; its age is judged one frame interval ahead, so that it
// touches within kBrushTime of landing. Before the pad has seen enough
// contacts, every contact touches at once.
//
// More fingers than slots. BTN_TOOL_FINGER, _DOUBLETAP, _TRIPLETAP, _QUADTAP
// and _QUINTTAP give the true finger count (1 to 5). When every slot is
// tracked and the count is higher, the missing fingers are synthesized: they
// sit at the centroid of the tracked contacts, carry their mean pressure and
// their touch state, and have ids of Frame::kSyntheticIdBase and above. An id
// stays with its synthesized finger until the count drops (the last one added
// goes first).
//
// Ids. A contact's id is its tracking id, except on pads of one or two slots,
// which lose a finger for a frame or two in mid-touch and find it again (the
// count goes 3, 2, 3, or a slot is freed and gets a new tracking id): there a
// finger that comes while others stay down takes the id of the last one that
// left, a tracked finger that of a tracked one, a synthesized finger that of
// a synthesized one, so the gesture in progress keeps its fingers. Once no
// contact touches, every finger that comes is a new one with a new id.
//
// Lost events. After SYN_DROPPED the assembler cannot know what happened in
// the gap, so no gesture may complete from a touch that spanned it. The frame
// that closes the damaged packet is marked interrupted; from it on, every
// contact is withheld (frames carry no contacts) until no finger touches any
// more. The events of the damaged packet are still applied: they are the
// freshest values there are, and a libevdev resynchronisation delivers the
// true state at exactly that place. If, while withholding, the pad reports
// neither BTN_TOUCH nor any BTN_TOOL_* key, slots still tracked are stale
// (their release was lost) and are freed.
//
// Pressure. One rule for every device: the fraction of the device's pressure
// range (ABS_MT_PRESSURE per contact, or else ABS_PRESSURE of the pad for
// every contact) times a full scale in the raw units of the force-press
// thresholds: kPressurePadFullScale (1000) on a pad with
// INPUT_PROP_PRESSUREPAD, whose pressure is a force, so that the light,
// standard and firm thresholds (200, 350, 550) sit at 20, 35 and 55 % of its
// range; kOrdinaryPadFullScale (100) elsewhere, where "pressure" is contact
// size, so that no touch of an ordinary pad can reach the light threshold.
//
// Buttons. BTN_LEFT, BTN_RIGHT and BTN_MIDDLE (a clickpad's physical press)
// are reported as the state after each frame and as the changes within it.
//
// Semi-multitouch pads (INPUT_PROP_SEMI_MT) report the corners of the
// fingers' bounding box in their two slots. The box keeps the fingers'
// centroid and spread, but the line between its corners follows the box's
// shape, not the fingers, and a turn of the hand can even reverse it. So two
// such contacts are passed on level: at the centroid's height, the box's
// diagonal apart (moved inwards where that would leave the pad), the lower id
// on the left. Pinches and slides read from them as from the fingers; turns
// do not.
//
// A device without ABS_MT_POSITION_X/Y axes gives frames without contacts.
class FrameAssembler {
public:
    enum class TouchSignal { automatic, touchKey, tracking };

    struct Options {
        TouchSignal touchSignal = TouchSignal::automatic;
    };

    static constexpr float kPressurePadFullScale = 1000.0f;
    static constexpr float kOrdinaryPadFullScale = 100.0f;

    // The brush rule above.
    static constexpr int kLearnedContacts = 5;
    static constexpr int kPeakMemory = 9;
    static constexpr double kBrushTime = 0.040;

    // What the device holds before its first event: for a live node, the
    // kernel's state when it was opened (its slots' values, the slot it has
    // selected, the touch keys held down).
    struct DeviceState {
        struct SlotValues {
            std::int32_t trackingId = -1;
            std::int32_t x = 0;
            std::int32_t y = 0;
            std::int32_t pressure = 0;
            std::int32_t distance = 0;

            friend bool operator==(const SlotValues&, const SlotValues&) = default;
        };
        // In slot order; slots beyond the device's are ignored.
        std::vector<SlotValues> slots;
        int currentSlot = 0;
        // BTN_TOUCH and the BTN_TOOL_* keys that are down.
        std::vector<std::uint16_t> heldKeys;

        friend bool operator==(const DeviceState&, const DeviceState&) = default;
    };

    FrameAssembler(const DeviceDescription& device, Options options);
    explicit FrameAssembler(const DeviceDescription& device) : FrameAssembler(device, Options{}) {}

    // One event; returns the frame that a SYN_REPORT closes, else nothing.
    std::optional<Frame> feed(const EvdevEvent& event);
    std::optional<Frame> feed(double time, std::uint16_t type, std::uint16_t code, std::int32_t value);
    // The same into `frame`, which is overwritten only when a SYN_REPORT
    // closes it (then true), in the storage it already has: a reader that
    // keeps its frame allocates nothing once the frame has grown.
    bool feed(const EvdevEvent& event, Frame& frame);

    // Forgets every slot, key and button, as if just created.
    void reset();
    // Takes `state` as what the device held before the events to come: every
    // slot's values count as reported. Call before the first event.
    void seed(const DeviceState& state);

    int slotCount() const { return static_cast<int>(slots_.size()); }
    const Options& options() const { return options_; }

    // A recording says whether its pad reports BTN_TOUCH: touchKey if any of
    // its events is BTN_TOUCH, else tracking.
    static Options optionsFor(const Recording& recording);
    static Options optionsFor(bool reportsTouchKey);
    // Every frame of a recording, with optionsFor(recording).
    static std::vector<Frame> assemble(const Recording& recording);
    // The pressure rule above.
    static float rawPressure(std::int32_t value, const AxisRange& range, bool pressurePad);

private:
    // Its values as the device last reported them, and what the assembler
    // keeps about them.
    struct Slot : DeviceState::SlotValues {
        // The id delivered for the finger with tracking id deliveredFor.
        std::int32_t deliveredFor = -1;
        std::int32_t deliveredId = -1;
        bool hasX = false;
        bool hasY = false;
        bool hasPressure = false;
        // The brush rule, for the current stretch of this finger on the
        // surface: whose it is, when it landed and where, the highest
        // pressure it reached, whether it is deliberate, and whether it
        // became so in this frame (then it touches where it landed).
        std::int32_t stretchFor = -1;  // the tracking id on the surface, or -1
        bool deliberate = false;
        bool landsNow = false;
        double landedAt = 0;
        float landedX = 0;
        float landedY = 0;
        float peakPressure = 0;
    };

    void key(std::uint16_t code, std::int32_t value);
    void absolute(std::uint16_t code, std::int32_t value);
    void finish(double time, Frame& frame);
    void judgeBrushes(double time);
    void endStretch(Slot& slot);
    // The median peak of the remembered contacts, halved, once enough are:
    // worked out when a peak is remembered, not for every frame.
    std::optional<float> learnedBrushThreshold() const;
    float pressureOf(const Slot& slot) const;
    bool reachesSurface(const Slot& slot) const;
    bool touchKeyDecides() const;
    int fingerCount() const;
    bool anyContactTouching();
    // Both clear `out` first.
    void contacts(std::vector<Frame::Contact>& out);
    void placedContacts(std::vector<Frame::Contact>& out);
    static void levelCorners(Frame::Contact& a, Frame::Contact& b);
    void depart(std::vector<std::int32_t>& departed, std::int32_t id) const;
    static std::optional<std::int32_t> takeLast(std::vector<std::int32_t>& ids);

    Options options_;
    bool hasPositions_ = false;
    AxisRange xRange_;
    AxisRange yRange_;
    std::optional<AxisRange> slotPressureRange_;
    std::optional<AxisRange> padPressureRange_;
    bool pressurePad_ = false;
    bool semiMultitouch_ = false;

    std::vector<Slot> slots_;
    int currentSlot_ = 0;  // -1: an ABS_MT_SLOT outside the device's slots
    bool touchKey_ = false;
    bool touchKeySeen_ = false;
    unsigned toolKeys_ = 0;  // bit n: the tool key of n + 1 fingers is down
    bool toolKeySeen_ = false;
    std::int32_t padPressure_ = 0;
    Frame::Buttons buttons_;
    std::vector<Frame::ButtonChange> buttonChanges_;
    std::vector<std::int32_t> syntheticIds_;
    std::int32_t nextSynthetic_ = 0;
    // Pads of one or two slots lose and find fingers in mid-touch: ids of the
    // fingers that left a slot, or the count, while others stayed down.
    bool reusesDepartedIds_ = false;
    std::vector<std::int32_t> departedSlotIds_;
    std::vector<std::int32_t> departedSyntheticIds_;
    bool dropped_ = false;      // SYN_DROPPED seen; the next SYN_REPORT closes the damaged packet
    bool withholding_ = false;  // contacts withheld until no finger touches
    // The peak pressures of the last deliberate contacts, a ring; the time
    // of the last frame, for the brush rule's look ahead.
    std::array<float, kPeakMemory> peaks_{};
    int peakCount_ = 0;
    int nextPeak_ = 0;
    std::optional<float> brushThreshold_;  // learnedBrushThreshold() of the peaks above
    std::optional<double> lastFrameTime_;
    // anyContactTouching()'s contacts, kept for their storage.
    std::vector<Frame::Contact> scratch_;
};

}  // namespace glidra::evdev
