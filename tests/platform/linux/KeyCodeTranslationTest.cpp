#include "platform/linux/KeyCodeTranslation.h"

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

#include <set>

namespace glidra::linux_platform {
namespace {

using namespace key_codes;

TEST(KeyCodeTranslationTest, KeysTranslateBothWaysWithTheirCodesOnTheOtherKeyboard) {
    struct Case {
        std::uint16_t evdev;
        std::uint16_t virtualKey;
    };
    const Case cases[] = {
        {KEY_A, 0},
        {KEY_S, 1},
        {KEY_Z, 6},
        {KEY_C, 8},
        {KEY_Q, 12},
        {KEY_T, 17},
        {KEY_1, 18},
        {KEY_5, 23},
        {KEY_9, 25},
        {KEY_0, 29},
        {KEY_MINUS, 27},
        {KEY_EQUAL, 24},
        {KEY_GRAVE, 50},
        {KEY_BACKSLASH, 42},
        {KEY_SLASH, 44},
        {KEY_ENTER, 36},
        {KEY_TAB, 48},
        {KEY_SPACE, 49},
        {KEY_BACKSPACE, 51},
        {KEY_ESC, 53},
        {KEY_DELETE, 117},
        {KEY_HOME, 115},
        {KEY_END, 119},
        {KEY_PAGEUP, 116},
        {KEY_PAGEDOWN, 121},
        {KEY_LEFT, 123},
        {KEY_RIGHT, 124},
        {KEY_DOWN, 125},
        {KEY_UP, 126},
        {KEY_F1, 122},
        {KEY_F2, 120},
        {KEY_F3, 99},
        {KEY_F4, 118},
        {KEY_F5, 96},
        {KEY_F10, 109},
        {KEY_F12, 111},
        {KEY_F16, 106},
        {KEY_F20, 90},
        {KEY_KPENTER, 76},
        {KEY_KP0, 82},
        {KEY_KP7, 89},
        {KEY_KP8, 91},
        {KEY_LEFTMETA, 55},
        {KEY_RIGHTMETA, 54},
        {KEY_LEFTSHIFT, 56},
        {KEY_RIGHTSHIFT, 60},
        {KEY_LEFTCTRL, 59},
        {KEY_RIGHTCTRL, 62},
        {KEY_LEFTALT, 58},
        {KEY_RIGHTALT, 61},
        {KEY_CAPSLOCK, 57},
        // PC keys stand for the keys in their place: Print F13, Scroll Lock
        // F14, Pause F15, Insert Help.
        {KEY_SYSRQ, 105},
        {KEY_SCROLLLOCK, 107},
        {KEY_PAUSE, 113},
        {KEY_INSERT, 114},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(virtualKeyCode(c.evdev), c.virtualKey) << "kernel key " << c.evdev;
        EXPECT_EQ(evdevKeyCode(c.virtualKey), c.evdev) << "virtual key " << c.virtualKey;
    }
}

TEST(KeyCodeTranslationTest, FunctionKeysBeyondTwelveReadAsTheSameCodesAndPostAsThePcKeys) {
    EXPECT_EQ(virtualKeyCode(KEY_F13), 105);
    EXPECT_EQ(virtualKeyCode(KEY_F14), 107);
    EXPECT_EQ(virtualKeyCode(KEY_F15), 113);
    EXPECT_EQ(virtualKeyCode(KEY_HELP), 114);
    // A Linux keyboard has the PC key in that place: posting gives it.
    EXPECT_EQ(evdevKeyCode(105), KEY_SYSRQ);
    EXPECT_EQ(evdevKeyCode(114), KEY_INSERT);
}

TEST(KeyCodeTranslationTest, EveryCodeReadBackPostsAKeyThatReadsAsItAgain) {
    std::set<std::uint16_t> seen;
    for (std::uint16_t code = 1; code < KEY_MAX; ++code) {
        const auto virtualKey = virtualKeyCode(code);
        if (!virtualKey) continue;
        seen.insert(*virtualKey);
        const auto posted = evdevKeyCode(*virtualKey);
        ASSERT_TRUE(posted) << "virtual key " << *virtualKey;
        EXPECT_EQ(virtualKeyCode(*posted), virtualKey);
    }
    EXPECT_GE(seen.size(), 110u);
    // No code of its own: nothing is made up.
    EXPECT_EQ(virtualKeyCode(KEY_POWER), std::nullopt);
    EXPECT_EQ(evdevKeyCode(52), std::nullopt);
}

TEST(KeyCodeTranslationTest, ModifierKeysSetTheirFlagsAndFlagsNameTheLeftKey) {
    EXPECT_EQ(modifierFlag(KEY_LEFTCTRL), kControlFlag);
    EXPECT_EQ(modifierFlag(KEY_RIGHTCTRL), kControlFlag);
    EXPECT_EQ(modifierFlag(KEY_LEFTALT), kOptionFlag);
    EXPECT_EQ(modifierFlag(KEY_RIGHTALT), kOptionFlag);
    EXPECT_EQ(modifierFlag(KEY_LEFTSHIFT), kShiftFlag);
    EXPECT_EQ(modifierFlag(KEY_RIGHTSHIFT), kShiftFlag);
    EXPECT_EQ(modifierFlag(KEY_LEFTMETA), kCommandFlag);
    EXPECT_EQ(modifierFlag(KEY_RIGHTMETA), kCommandFlag);
    EXPECT_EQ(modifierFlag(KEY_CAPSLOCK), 0u);
    EXPECT_EQ(modifierFlag(KEY_A), 0u);
    EXPECT_EQ(modifierKey(kControlFlag), KEY_LEFTCTRL);
    EXPECT_EQ(modifierKey(kCommandFlag), KEY_LEFTMETA);
    EXPECT_EQ(modifierKey(kCapsLockFlag), std::nullopt);
}

TEST(KeyCodeTranslationTest, MediaKeyTypesPressTheirKernelKeys) {
    EXPECT_EQ(mediaKeyCode(0), KEY_VOLUMEUP);
    EXPECT_EQ(mediaKeyCode(1), KEY_VOLUMEDOWN);
    EXPECT_EQ(mediaKeyCode(7), KEY_MUTE);
    EXPECT_EQ(mediaKeyCode(2), KEY_BRIGHTNESSUP);
    EXPECT_EQ(mediaKeyCode(3), KEY_BRIGHTNESSDOWN);
    EXPECT_EQ(mediaKeyCode(16), KEY_PLAYPAUSE);
    EXPECT_EQ(mediaKeyCode(17), KEY_NEXTSONG);
    EXPECT_EQ(mediaKeyCode(18), KEY_PREVIOUSSONG);
    EXPECT_EQ(mediaKeyCode(21), KEY_KBDILLUMUP);
    EXPECT_EQ(mediaKeyCode(22), KEY_KBDILLUMDOWN);
    EXPECT_EQ(mediaKeyCode(99), std::nullopt);
}

}  // namespace
}  // namespace glidra::linux_platform
