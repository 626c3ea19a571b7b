#include "platform/linux/UinputEventPoster.h"

#include "platform/EventMarkers.h"
#include "platform/linux/InputDeviceClass.h"
#include "platform/linux/KeyCodeTranslation.h"
#include "platform/linux/UinputDevice.h"
#include "platform/sim/SimKeyboardState.h"
#include "platform/sim/SimPointerControl.h"
#include "support/RecordingVirtualDevice.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <linux/input.h>

#include <set>

namespace glidra::linux_platform {
namespace {

using Type = InputEvent::Type;
using namespace key_codes;

using test::RecordingVirtualDevice;

QString key(std::uint16_t code, int value) { return RecordingVirtualDevice::key(code, value); }

struct PosterRig {
    RecordingVirtualDevice device;
    sim::SimKeyboardState userKeyboard;
    sim::SimPointerControl pointer;
    UinputEventPoster poster{device, userKeyboard, pointer};

    void postKey(std::uint16_t keyCode, bool down, std::uint64_t flags, std::int64_t marker = kShortcutEventMarker) {
        auto event = poster.makeKeyboardEvent(keyCode, down);
        ASSERT_TRUE(event);
        event->flags = flags;
        markOwnEvent(*event, marker);
        poster.post(*event);
    }
};

TEST(UinputEventPosterTest, AShortcutPressesItsModifiersAroundTheKeyAndLetsThemGoAfterIt) {
    PosterRig rig;
    // Control-Shift-T, the key-up carrying the modifiers held then (none).
    rig.postKey(17, true, kControlFlag | kShiftFlag);
    rig.postKey(17, false, 0);
    EXPECT_EQ(rig.device.events(), QStringList({key(KEY_LEFTCTRL, 1), key(KEY_LEFTSHIFT, 1), key(KEY_T, 1),
                                                key(KEY_T, 0), key(KEY_LEFTSHIFT, 0), key(KEY_LEFTCTRL, 0)}));
    // Each step reaches the desktop as a packet of its own.
    EXPECT_EQ(rig.device.written.count(QStringLiteral("--")), 4);
}

TEST(UinputEventPosterTest, CommandIsSuperAndAModifierTheUserHoldsIsNotPressedAgain) {
    PosterRig rig;
    rig.userKeyboard.setCombinedFlags(kShiftFlag);
    rig.postKey(8, true, kCommandFlag | kShiftFlag);
    rig.postKey(8, false, kShiftFlag);
    EXPECT_EQ(rig.device.events(),
              QStringList({key(KEY_LEFTMETA, 1), key(KEY_C, 1), key(KEY_C, 0), key(KEY_LEFTMETA, 0)}));
}

TEST(UinputEventPosterTest, TheSwitchersCommandIsAltHeldAcrossItsTabs) {
    PosterRig rig;
    const auto post = [&](std::uint16_t keyCode, bool down, std::uint64_t flags) {
        auto event = rig.poster.makeSystemStateKeyboardEvent(keyCode, down);
        ASSERT_TRUE(event);
        event->flags = flags;
        markOwnEvent(*event, kApplicationSwitcherEventMarker);
        rig.poster.post(*event);
    };
    post(UinputEventPoster::kCommandKeyCode, true, kCommandFlag);
    post(48, true, kCommandFlag);
    post(48, false, kCommandFlag);
    post(53, true, kCommandFlag);
    post(53, false, kCommandFlag);
    post(UinputEventPoster::kCommandKeyCode, false, 0);
    EXPECT_EQ(UinputEventPoster::kSwitcherKey, KEY_LEFTALT);
    EXPECT_EQ(rig.device.events(), QStringList({key(KEY_LEFTALT, 1), key(KEY_TAB, 1), key(KEY_TAB, 0), key(KEY_ESC, 1),
                                                key(KEY_ESC, 0), key(KEY_LEFTALT, 0)}));
}

TEST(UinputEventPosterTest, ClicksScrollsAndMediaKeysReachTheKernel) {
    PosterRig rig;
    const auto location = rig.poster.pointerLocation();
    ASSERT_TRUE(location);
    for (const Type type : {Type::rightMouseDown, Type::rightMouseUp}) {
        auto click = rig.poster.makeMouseEvent(type, *location, 1);
        ASSERT_TRUE(click);
        click->flags = kOptionFlag;
        rig.poster.post(*click);
    }
    EXPECT_EQ(rig.device.events(),
              QStringList({key(KEY_LEFTALT, 1), key(BTN_RIGHT, 1), key(BTN_RIGHT, 0), key(KEY_LEFTALT, 0)}));

    rig.device.written.clear();
    // Up by one detent; then left by half a detent twice, which makes one.
    rig.poster.post(*rig.poster.makeScrollWheelEvent(120, 0));
    rig.poster.post(*rig.poster.makeScrollWheelEvent(0, 60));
    rig.poster.post(*rig.poster.makeScrollWheelEvent(0, 60));
    EXPECT_EQ(rig.device.events(),
              QStringList(
                  {QStringLiteral("REL %1 120").arg(REL_WHEEL_HI_RES), QStringLiteral("REL %1 1").arg(REL_WHEEL),
                   QStringLiteral("REL %1 -60").arg(REL_HWHEEL_HI_RES),
                   QStringLiteral("REL %1 -60").arg(REL_HWHEEL_HI_RES), QStringLiteral("REL %1 -1").arg(REL_HWHEEL)}));

    rig.device.written.clear();
    // Play/pause: key type 16, down (0xA) then up (0xB).
    rig.poster.post(*rig.poster.makeSystemDefinedEvent(0, 8, (16 << 16) | 0xA00, -1));
    rig.poster.post(*rig.poster.makeSystemDefinedEvent(0, 8, (16 << 16) | 0xB00, -1));
    EXPECT_EQ(rig.device.events(), QStringList({key(KEY_PLAYPAUSE, 1), key(KEY_PLAYPAUSE, 0)}));
}

TEST(UinputEventPosterTest, WithoutTheDeviceNothingCanBeMadeAndThePrivateSourceIsNotTriedAgain) {
    PosterRig rig;
    rig.device.refuses = true;
    EXPECT_FALSE(rig.poster.privateEventSource());
    EXPECT_FALSE(rig.poster.makeKeyboardEvent(0, true));
    EXPECT_FALSE(rig.poster.makeMouseEvent(Type::leftMouseDown, {}, 0));
    EXPECT_FALSE(rig.poster.pointerLocation());
    rig.device.refuses = false;
    // The access may come later (the rule installed): other events work then,
    // but the private source stays as it first came out.
    EXPECT_TRUE(rig.poster.makeMouseEvent(Type::leftMouseDown, {}, 0));
    EXPECT_FALSE(rig.poster.privateEventSource());
}

TEST(UinputEventPosterTest, PostedEventsPassTheTapsWithTheirMarkersFirst) {
    PosterRig rig;
    std::vector<InputEvent> seen;
    rig.poster.routeThrough([&seen](const InputEvent& event) -> std::optional<InputEvent> {
        seen.push_back(event);
        // Swallows Escape.
        if (event.keyCode == 53) return std::nullopt;
        return event;
    });
    rig.postKey(53, true, 0, kApplicationSwitcherEventMarker);
    rig.postKey(48, true, 0, kApplicationSwitcherEventMarker);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].userData, kApplicationSwitcherEventMarker);
    EXPECT_EQ(seen[0].origin, EventOrigin::ownProcess);
    EXPECT_EQ(rig.device.events(), QStringList({key(KEY_TAB, 1)}));
}

TEST(UinputEventPosterTest, PassedOnKeysAreTrackedAndNothingIsLeftDownAtTheEnd) {
    RecordingVirtualDevice device;
    sim::SimKeyboardState userKeyboard;
    sim::SimPointerControl pointer;
    auto poster = std::make_unique<UinputEventPoster>(device, userKeyboard, pointer);
    poster->passOn(EV_KEY, KEY_B, 1);
    EXPECT_TRUE(poster->passesOnHeld(KEY_B));
    poster->passOn(EV_KEY, KEY_B, 2);
    poster->passOn(EV_KEY, KEY_B, 0);
    EXPECT_FALSE(poster->passesOnHeld(KEY_B));
    // A release of a key that never went down through it is not passed on.
    poster->passOn(EV_KEY, KEY_N, 0);
    EXPECT_EQ(device.events(), QStringList({key(KEY_B, 1), key(KEY_B, 2), key(KEY_B, 0)}));

    // The switcher's Alt and a passed-on key are down when the program ends.
    auto alt = poster->makeSystemStateKeyboardEvent(UinputEventPoster::kCommandKeyCode, true);
    ASSERT_TRUE(alt);
    markOwnEvent(*alt, kApplicationSwitcherEventMarker);
    poster->post(*alt);
    poster->passOn(EV_KEY, KEY_X, 1);
    device.written.clear();
    poster.reset();
    QStringList ups = device.events();
    ups.sort();
    EXPECT_EQ(ups, QStringList({key(KEY_X, 0), key(KEY_LEFTALT, 0)}));
}

// Which kernel button each of the program's buttons presses: left, right and
// middle by their own codes, the extra buttons by their number from the
// left one up to the last button a mouse has, and past it none.
TEST(UinputEventPosterTest, EachButtonOfTheProgramPressesItsOwnKernelButton) {
    struct Case {
        Type down;
        Type up;
        std::int32_t button;
        std::optional<std::uint16_t> code;
    };
    const Case cases[] = {
        {Type::leftMouseDown, Type::leftMouseUp, 0, BTN_LEFT},
        {Type::rightMouseDown, Type::rightMouseUp, 1, BTN_RIGHT},
        {Type::otherMouseDown, Type::otherMouseUp, 2, BTN_MIDDLE},
        {Type::otherMouseDown, Type::otherMouseUp, 3, BTN_SIDE},
        {Type::otherMouseDown, Type::otherMouseUp, 4, BTN_EXTRA},
        {Type::otherMouseDown, Type::otherMouseUp, 7, BTN_TASK},
        {Type::otherMouseDown, Type::otherMouseUp, 8, std::nullopt},
        {Type::otherMouseDown, Type::otherMouseUp, -1, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        PosterRig rig;
        for (const Type type : {c.down, c.up}) {
            auto click = rig.poster.makeMouseEvent(type, {}, c.button);
            ASSERT_TRUE(click);
            rig.poster.post(*click);
        }
        EXPECT_EQ(rig.device.events(), c.code ? QStringList({key(*c.code, 1), key(*c.code, 0)}) : QStringList())
            << rig.device.written.join(u' ').toStdString();
    }
}

// The kernel passes on only the codes a device declared, and drops the rest
// without a word: every key, button and wheel the poster can write is
// declared by the real device. And nothing that would make the desktop take
// it for a touchpad or a tablet.
TEST(UinputDeviceTest, TheVirtualDeviceDeclaresEveryCodeThePosterWrites) {
    const evdev::DeviceDescription declared = UinputDevice::description();
    EXPECT_EQ(declared.name, std::string(kOwnVirtualDeviceName));
    EXPECT_EQ(declared.bustype, BUS_VIRTUAL);

    PosterRig rig;
    const std::uint64_t allModifiers = kControlFlag | kOptionFlag | kShiftFlag | kCommandFlag;
    for (std::uint32_t code = 0; code <= 0xFFFF; ++code) {
        for (const std::int64_t marker : {kShortcutEventMarker, kApplicationSwitcherEventMarker}) {
            rig.postKey(std::uint16_t(code), true, allModifiers, marker);
            rig.postKey(std::uint16_t(code), false, 0, marker);
        }
    }
    for (std::int64_t keyType = 0; keyType < 64; ++keyType) {
        rig.poster.post(*rig.poster.makeSystemDefinedEvent(0, 8, (keyType << 16) | 0xA00, -1));
        rig.poster.post(*rig.poster.makeSystemDefinedEvent(0, 8, (keyType << 16) | 0xB00, -1));
    }
    for (std::int32_t button = 0; button < 16; ++button) {
        for (const Type type : {Type::otherMouseDown, Type::otherMouseUp}) {
            auto click = rig.poster.makeMouseEvent(type, {}, button);
            ASSERT_TRUE(click);
            click->flags = allModifiers;
            rig.poster.post(*click);
        }
    }
    rig.poster.post(*rig.poster.makeScrollWheelEvent(240, -240));
    rig.poster.passOn(EV_KEY, KEY_A, 1);
    rig.poster.passOn(EV_REL, REL_X, 3);

    std::set<QString> written;
    for (const QString& event : rig.device.events()) written.insert(event.section(u' ', 0, 1));
    // Media keys and every mouse button at least, besides the letters.
    for (const std::uint16_t code : {KEY_A, KEY_VOLUMEUP, KEY_PLAYPAUSE, KEY_KBDILLUMUP, BTN_LEFT, BTN_TASK}) {
        EXPECT_TRUE(written.contains(QStringLiteral("KEY %1").arg(code))) << code;
    }
    for (const QString& event : written) {
        const bool isKey = event.startsWith(QLatin1String("KEY "));
        const auto code = std::uint16_t(event.section(u' ', 1, 1).toUInt());
        EXPECT_TRUE(declared.hasEventCode(isKey ? EV_KEY : EV_REL, code)) << event.toStdString() << " is not declared";
    }

    EXPECT_FALSE(declared.eventBits.contains(EV_ABS));
    for (const std::uint16_t touch : {BTN_TOUCH, BTN_TOOL_FINGER, BTN_TOOL_PEN, BTN_STYLUS}) {
        EXPECT_FALSE(declared.hasEventCode(EV_KEY, touch)) << touch;
    }
}

}  // namespace
}  // namespace glidra::linux_platform
