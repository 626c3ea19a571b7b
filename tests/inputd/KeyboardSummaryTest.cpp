#include "inputd/KeyboardSummary.h"

#include <gtest/gtest.h>

namespace glidra::inputd {
namespace {

input_event key(std::uint16_t code, int value) {
    input_event event{};
    event.type = EV_KEY;
    event.code = code;
    event.value = value;
    return event;
}

input_event led(std::uint16_t code, int value) {
    input_event event = key(code, value);
    event.type = EV_LED;
    return event;
}

using Lines = std::vector<std::string>;

// What the client learns is the summary alone: no line names a key that
// types text.
TEST(KeyboardSummary, TellsModifiersPressesAndCapsLockButNoTypingKey) {
    KeyboardSummary summary;
    const struct {
        int keyboard;
        input_event event;
        Lines expected;
    } steps[] = {
        {1, key(KEY_A, 1), {"press"}},
        {1, key(KEY_A, 2), {}},  // a held key repeating is no new press
        {1, key(KEY_A, 0), {}},
        {1, key(KEY_LEFTSHIFT, 1), {"modifiers 1"}},
        {2, key(KEY_RIGHTSHIFT, 1), {}},  // shift on a second keyboard: still shift
        {1, key(KEY_LEFTSHIFT, 0), {}},
        {2, key(KEY_RIGHTSHIFT, 0), {"modifiers 0"}},
        {1, key(KEY_LEFTCTRL, 1), {"modifiers 2"}},
        {1, key(KEY_LEFTCTRL, 2), {}},
        {1, key(KEY_RIGHTALT, 1), {"modifiers 6"}},
        {1, key(KEY_LEFTMETA, 1), {"modifiers 14"}},
        {1, key(KEY_ENTER, 1), {"press return"}},
        {1, key(KEY_KPENTER, 1), {"press enter"}},
        {1, key(KEY_ESC, 1), {"press escape"}},
        {1, key(KEY_ESC, 2), {}},
        {1, key(KEY_TAB, 1), {"press tab"}},
        {1, key(KEY_LEFT, 1), {"press left"}},
        {1, key(KEY_RIGHT, 1), {"press right"}},
        {1, key(KEY_UP, 1), {"press"}},
        {1, key(KEY_1, 1), {"press"}},
        {1, led(LED_CAPSL, 1), {"capslock 1"}},
        {2, led(LED_CAPSL, 1), {}},
        {1, led(LED_NUML, 1), {}},
        {1, key(BTN_LEFT, 1), {}},  // a keyboard's buttons are the pointer's business
        {1, led(LED_CAPSL, 0), {"capslock 0"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.event.code);
        EXPECT_EQ(summary.feed(step.keyboard, step.event), step.expected);
    }
    // Unplugged while holding Ctrl, Alt and Super: nothing is held any more.
    EXPECT_EQ(summary.forget(1), Lines{"modifiers 0"});
    EXPECT_EQ(summary.forget(1), Lines{});
}

TEST(KeyboardSummary, ANewClientLearnsWhatIsHeldWhenTheKeyboardWasOpened) {
    KeyboardSummary summary;
    summary.seed(3, {KEY_A, KEY_LEFTCTRL}, true);
    EXPECT_EQ(summary.current(), (Lines{"modifiers 2", "capslock 1"}));
    EXPECT_EQ(summary.feed(3, key(KEY_LEFTCTRL, 0)), Lines{"modifiers 0"});
}

}  // namespace
}  // namespace glidra::inputd
