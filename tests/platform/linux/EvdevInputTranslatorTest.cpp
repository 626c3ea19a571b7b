#include "platform/linux/EvdevInputTranslator.h"

#include "platform/linux/KeyCodeTranslation.h"

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

namespace glidra::linux_platform {
namespace {

using Type = InputEvent::Type;
using Events = std::vector<evdev::EvdevEvent>;

constexpr int kKeyboardId = 1;
constexpr int kOtherKeyboardId = 2;
constexpr int kPadId = 3;
constexpr int kMouseId = 4;

const EvdevInputTranslator::Source kKeyboard{&kKeyboardId, "/dev/input/event1", unsigned(InputDeviceClass::keyboard)};
const EvdevInputTranslator::Source kOtherKeyboard{&kOtherKeyboardId, "/dev/input/event2",
                                                  unsigned(InputDeviceClass::keyboard)};
const EvdevInputTranslator::Source kPad{&kPadId, "/dev/input/event3", unsigned(InputDeviceClass::touchpad)};
const EvdevInputTranslator::Source kMouse{&kMouseId, "/dev/input/event4", unsigned(InputDeviceClass::pointer)};

Events packet(std::initializer_list<std::tuple<std::uint16_t, std::uint16_t, std::int32_t>> events) {
    Events out;
    for (const auto& [type, code, value] : events) out.push_back({1.0, type, code, value});
    out.push_back({1.0, EV_SYN, SYN_REPORT, 0});
    return out;
}

std::vector<ObservedInput> translate(EvdevInputTranslator& translator, const EvdevInputTranslator::Source& source,
                                     const Events& events, bool wantMotion = false) {
    std::vector<ObservedInput> out;
    translator.translate(source, events, wantMotion, out);
    return out;
}

TEST(EvdevInputTranslatorTest, KeysBecomeKeyDownsAndUpsInTheProgramsCodesWithTheKernelEventKept) {
    EvdevInputTranslator translator;
    const auto down = translate(translator, kKeyboard, packet({{EV_MSC, MSC_SCAN, 30}, {EV_KEY, KEY_A, 1}}));
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].event.type, Type::keyDown);
    EXPECT_EQ(down[0].event.keyCode, 0);
    EXPECT_EQ(down[0].event.origin, EventOrigin::hardware);
    EXPECT_EQ(down[0].event.sourceProcessId, 0);
    EXPECT_EQ(down[0].devnode, "/dev/input/event1");
    EXPECT_EQ(down[0].type, EV_KEY);
    EXPECT_EQ(down[0].code, KEY_A);
    EXPECT_EQ(down[0].value, 1);

    // A held key repeats as key downs.
    const auto repeat = translate(translator, kKeyboard, packet({{EV_KEY, KEY_A, 2}}));
    ASSERT_EQ(repeat.size(), 1u);
    EXPECT_EQ(repeat[0].event.type, Type::keyDown);
    EXPECT_EQ(repeat[0].value, 2);

    const auto up = translate(translator, kKeyboard, packet({{EV_KEY, KEY_A, 0}}));
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].event.type, Type::keyUp);

    // A key the program has no code for still arrives, for what swallows all.
    const auto unknown = translate(translator, kKeyboard, packet({{EV_KEY, KEY_POWER, 1}}));
    ASSERT_EQ(unknown.size(), 1u);
    EXPECT_EQ(unknown[0].event.keyCode, EvdevInputTranslator::kUnknownKeyCode);
}

TEST(EvdevInputTranslatorTest, ModifierKeysChangeTheFlagsOfEveryKeyboardTogether) {
    EvdevInputTranslator translator;
    const auto shift = translate(translator, kKeyboard, packet({{EV_KEY, KEY_LEFTSHIFT, 1}}));
    ASSERT_EQ(shift.size(), 1u);
    EXPECT_EQ(shift[0].event.type, Type::flagsChanged);
    EXPECT_EQ(shift[0].event.keyCode, 56);
    EXPECT_EQ(shift[0].event.flags, key_codes::kShiftFlag);
    // A held modifier's repeats change nothing.
    EXPECT_TRUE(translate(translator, kKeyboard, packet({{EV_KEY, KEY_LEFTSHIFT, 2}})).empty());

    // Control on another keyboard adds to Shift on the first.
    translate(translator, kOtherKeyboard, packet({{EV_KEY, KEY_RIGHTCTRL, 1}}));
    const auto c = translate(translator, kOtherKeyboard, packet({{EV_KEY, KEY_C, 1}}));
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].event.flags, key_codes::kShiftFlag | key_codes::kControlFlag);

    translate(translator, kKeyboard, packet({{EV_KEY, KEY_LEFTSHIFT, 0}}));
    EXPECT_EQ(translator.flags(), key_codes::kControlFlag);
    // A keyboard that goes takes its modifiers with it.
    translator.forget(&kOtherKeyboardId);
    EXPECT_EQ(translator.flags(), 0u);
}

TEST(EvdevInputTranslatorTest, CapsLockIsItsLightAndItsKeyIsAFlagChange) {
    EvdevInputTranslator translator;
    translator.setInitialState(&kKeyboardId, {KEY_LEFTALT}, true);
    EXPECT_EQ(translator.flags(), key_codes::kCapsLockFlag | key_codes::kOptionFlag);
    const auto caps = translate(translator, kKeyboard, packet({{EV_KEY, KEY_CAPSLOCK, 1}}));
    ASSERT_EQ(caps.size(), 1u);
    EXPECT_EQ(caps[0].event.type, Type::flagsChanged);
    EXPECT_EQ(caps[0].event.keyCode, 57);
    translate(translator, kKeyboard, packet({{EV_LED, LED_CAPSL, 0}}));
    EXPECT_EQ(translator.flags(), key_codes::kOptionFlag);
}

TEST(EvdevInputTranslatorTest, ATouchpadsButtonIsAPressOfTheTouchpadAndAMousesIsNot) {
    EvdevInputTranslator translator;
    const auto press =
        translate(translator, kPad, packet({{EV_ABS, ABS_MT_SLOT, 0}, {EV_KEY, BTN_LEFT, 1}, {EV_KEY, BTN_TOUCH, 1}}));
    ASSERT_EQ(press.size(), 1u);
    EXPECT_EQ(press[0].event.type, Type::leftMouseDown);
    EXPECT_EQ(press[0].event.mouseButton, 0);
    EXPECT_TRUE(press[0].event.isTouchSubtype);

    const auto right = translate(translator, kMouse, packet({{EV_KEY, BTN_RIGHT, 1}}));
    ASSERT_EQ(right.size(), 1u);
    EXPECT_EQ(right[0].event.type, Type::rightMouseDown);
    EXPECT_EQ(right[0].event.mouseButton, 1);
    EXPECT_FALSE(right[0].event.isTouchSubtype);
    const auto middle = translate(translator, kMouse, packet({{EV_KEY, BTN_MIDDLE, 0}}));
    ASSERT_EQ(middle.size(), 1u);
    EXPECT_EQ(middle[0].event.type, Type::otherMouseUp);
    EXPECT_EQ(middle[0].event.mouseButton, 2);

    // A keyboard's buttons are no pointer's; a pad's keys are no keyboard's.
    EXPECT_TRUE(translate(translator, kKeyboard, packet({{EV_KEY, BTN_LEFT, 1}})).empty());
    EXPECT_TRUE(translate(translator, kPad, packet({{EV_KEY, KEY_A, 1}})).empty());
}

TEST(EvdevInputTranslatorTest, MotionIsMadeOnlyWhenWantedAndDragsWhileTheLeftButtonIsHeld) {
    EvdevInputTranslator translator;
    const auto moved = packet({{EV_REL, REL_X, 3}, {EV_REL, REL_Y, -2}});
    EXPECT_TRUE(translate(translator, kMouse, moved).empty());
    const auto wanted = translate(translator, kMouse, moved, true);
    ASSERT_EQ(wanted.size(), 1u);
    EXPECT_EQ(wanted[0].event.type, Type::mouseMoved);

    // The pad's left button held: the mouse's motion drags.
    translate(translator, kPad, packet({{EV_KEY, BTN_LEFT, 1}}));
    const auto dragged = translate(translator, kMouse, moved, true);
    ASSERT_EQ(dragged.size(), 1u);
    EXPECT_EQ(dragged[0].event.type, Type::leftMouseDragged);

    // A pad moves the pointer only while a finger is on it.
    const auto hovering = translate(translator, kPad, packet({{EV_ABS, ABS_X, 400}}), true);
    EXPECT_TRUE(hovering.empty());
    translate(translator, kPad, packet({{EV_KEY, BTN_TOOL_FINGER, 1}}));
    EXPECT_EQ(translate(translator, kPad, packet({{EV_ABS, ABS_X, 410}}), true).size(), 1u);
}

TEST(EvdevInputTranslatorTest, WheelsScrollInTheProgramsDirectionsPreferringHighResolution) {
    EvdevInputTranslator translator;
    const auto detent = translate(translator, kMouse, packet({{EV_REL, REL_WHEEL, 1}, {EV_REL, REL_HWHEEL, 1}}));
    ASSERT_EQ(detent.size(), 1u);
    EXPECT_EQ(detent[0].event.type, Type::scrollWheel);
    EXPECT_EQ(detent[0].event.scrollDeltaY, 120);
    // The kernel's horizontal wheel counts to the right, the program's left.
    EXPECT_EQ(detent[0].event.scrollDeltaX, -120);

    const auto fine = translate(translator, kMouse, packet({{EV_REL, REL_WHEEL, -1}, {EV_REL, REL_WHEEL_HI_RES, -60}}));
    ASSERT_EQ(fine.size(), 1u);
    EXPECT_EQ(fine[0].event.scrollDeltaY, -60);
}

}  // namespace
}  // namespace glidra::linux_platform
