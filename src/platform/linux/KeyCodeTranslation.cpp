#include "platform/linux/KeyCodeTranslation.h"

#include <linux/input-event-codes.h>

#include <array>
#include <utility>

namespace glidra::linux_platform::key_codes {

namespace {

struct KeyPair {
    std::uint16_t evdev;
    std::uint16_t virtualKey;
};

// Where two kernel keys share a code, the first row is the one posted.
constexpr std::array kKeys{
    // Letters
    KeyPair{KEY_A, 0},
    KeyPair{KEY_S, 1},
    KeyPair{KEY_D, 2},
    KeyPair{KEY_F, 3},
    KeyPair{KEY_H, 4},
    KeyPair{KEY_G, 5},
    KeyPair{KEY_Z, 6},
    KeyPair{KEY_X, 7},
    KeyPair{KEY_C, 8},
    KeyPair{KEY_V, 9},
    KeyPair{KEY_B, 11},
    KeyPair{KEY_Q, 12},
    KeyPair{KEY_W, 13},
    KeyPair{KEY_E, 14},
    KeyPair{KEY_R, 15},
    KeyPair{KEY_Y, 16},
    KeyPair{KEY_T, 17},
    KeyPair{KEY_O, 31},
    KeyPair{KEY_U, 32},
    KeyPair{KEY_I, 34},
    KeyPair{KEY_P, 35},
    KeyPair{KEY_L, 37},
    KeyPair{KEY_J, 38},
    KeyPair{KEY_K, 40},
    KeyPair{KEY_N, 45},
    KeyPair{KEY_M, 46},
    // Digits
    KeyPair{KEY_1, 18},
    KeyPair{KEY_2, 19},
    KeyPair{KEY_3, 20},
    KeyPair{KEY_4, 21},
    KeyPair{KEY_5, 23},
    KeyPair{KEY_6, 22},
    KeyPair{KEY_7, 26},
    KeyPair{KEY_8, 28},
    KeyPair{KEY_9, 25},
    KeyPair{KEY_0, 29},
    // Punctuation
    KeyPair{KEY_EQUAL, 24},
    KeyPair{KEY_MINUS, 27},
    KeyPair{KEY_RIGHTBRACE, 30},
    KeyPair{KEY_LEFTBRACE, 33},
    KeyPair{KEY_APOSTROPHE, 39},
    KeyPair{KEY_SEMICOLON, 41},
    KeyPair{KEY_BACKSLASH, 42},
    KeyPair{KEY_COMMA, 43},
    KeyPair{KEY_SLASH, 44},
    KeyPair{KEY_DOT, 47},
    KeyPair{KEY_GRAVE, 50},
    KeyPair{KEY_102ND, 10},
    // Editing and navigation
    KeyPair{KEY_ENTER, 36},
    KeyPair{KEY_TAB, 48},
    KeyPair{KEY_SPACE, 49},
    KeyPair{KEY_BACKSPACE, 51},
    KeyPair{KEY_ESC, 53},
    KeyPair{KEY_INSERT, 114},
    KeyPair{KEY_HELP, 114},
    KeyPair{KEY_HOME, 115},
    KeyPair{KEY_PAGEUP, 116},
    KeyPair{KEY_DELETE, 117},
    KeyPair{KEY_END, 119},
    KeyPair{KEY_PAGEDOWN, 121},
    KeyPair{KEY_LEFT, 123},
    KeyPair{KEY_RIGHT, 124},
    KeyPair{KEY_DOWN, 125},
    KeyPair{KEY_UP, 126},
    // Modifiers
    KeyPair{KEY_RIGHTMETA, 54},
    KeyPair{KEY_LEFTMETA, 55},
    KeyPair{KEY_LEFTSHIFT, 56},
    KeyPair{KEY_CAPSLOCK, 57},
    KeyPair{KEY_LEFTALT, 58},
    KeyPair{KEY_LEFTCTRL, 59},
    KeyPair{KEY_RIGHTSHIFT, 60},
    KeyPair{KEY_RIGHTALT, 61},
    KeyPair{KEY_RIGHTCTRL, 62},
    // Function keys; the PC keys in the places of F13 to F15 come first
    KeyPair{KEY_F1, 122},
    KeyPair{KEY_F2, 120},
    KeyPair{KEY_F3, 99},
    KeyPair{KEY_F4, 118},
    KeyPair{KEY_F5, 96},
    KeyPair{KEY_F6, 97},
    KeyPair{KEY_F7, 98},
    KeyPair{KEY_F8, 100},
    KeyPair{KEY_F9, 101},
    KeyPair{KEY_F10, 109},
    KeyPair{KEY_F11, 103},
    KeyPair{KEY_F12, 111},
    KeyPair{KEY_SYSRQ, 105},
    KeyPair{KEY_F13, 105},
    KeyPair{KEY_SCROLLLOCK, 107},
    KeyPair{KEY_F14, 107},
    KeyPair{KEY_PAUSE, 113},
    KeyPair{KEY_F15, 113},
    KeyPair{KEY_F16, 106},
    KeyPair{KEY_F17, 64},
    KeyPair{KEY_F18, 79},
    KeyPair{KEY_F19, 80},
    KeyPair{KEY_F20, 90},
    // Keypad
    KeyPair{KEY_KPDOT, 65},
    KeyPair{KEY_KPASTERISK, 67},
    KeyPair{KEY_KPPLUS, 69},
    KeyPair{KEY_NUMLOCK, 71},
    KeyPair{KEY_KPSLASH, 75},
    KeyPair{KEY_KPENTER, 76},
    KeyPair{KEY_KPMINUS, 78},
    KeyPair{KEY_KPEQUAL, 81},
    KeyPair{KEY_KP0, 82},
    KeyPair{KEY_KP1, 83},
    KeyPair{KEY_KP2, 84},
    KeyPair{KEY_KP3, 85},
    KeyPair{KEY_KP4, 86},
    KeyPair{KEY_KP5, 87},
    KeyPair{KEY_KP6, 88},
    KeyPair{KEY_KP7, 89},
    KeyPair{KEY_KP8, 91},
    KeyPair{KEY_KP9, 92},
    // Japanese keys
    KeyPair{KEY_YEN, 93},
    KeyPair{KEY_RO, 94},
    KeyPair{KEY_KPJPCOMMA, 95},
    KeyPair{KEY_HANJA, 102},
    KeyPair{KEY_HANGEUL, 104},
    // Volume keys of the keyboard
    KeyPair{KEY_VOLUMEUP, 72},
    KeyPair{KEY_VOLUMEDOWN, 73},
    KeyPair{KEY_MUTE, 74},
};

struct ModifierRow {
    std::uint64_t flag;
    std::uint16_t left;
    std::uint16_t right;
};

constexpr std::array kModifiers{
    ModifierRow{kShiftFlag, KEY_LEFTSHIFT, KEY_RIGHTSHIFT},
    ModifierRow{kControlFlag, KEY_LEFTCTRL, KEY_RIGHTCTRL},
    ModifierRow{kOptionFlag, KEY_LEFTALT, KEY_RIGHTALT},
    ModifierRow{kCommandFlag, KEY_LEFTMETA, KEY_RIGHTMETA},
};

constexpr std::array kMediaKeys{
    std::pair<std::int32_t, std::uint16_t>{0, KEY_VOLUMEUP},
    std::pair<std::int32_t, std::uint16_t>{1, KEY_VOLUMEDOWN},
    std::pair<std::int32_t, std::uint16_t>{2, KEY_BRIGHTNESSUP},
    std::pair<std::int32_t, std::uint16_t>{3, KEY_BRIGHTNESSDOWN},
    std::pair<std::int32_t, std::uint16_t>{7, KEY_MUTE},
    std::pair<std::int32_t, std::uint16_t>{16, KEY_PLAYPAUSE},
    std::pair<std::int32_t, std::uint16_t>{17, KEY_NEXTSONG},
    std::pair<std::int32_t, std::uint16_t>{18, KEY_PREVIOUSSONG},
    std::pair<std::int32_t, std::uint16_t>{19, KEY_FASTFORWARD},
    std::pair<std::int32_t, std::uint16_t>{20, KEY_REWIND},
    std::pair<std::int32_t, std::uint16_t>{21, KEY_KBDILLUMUP},
    std::pair<std::int32_t, std::uint16_t>{22, KEY_KBDILLUMDOWN},
};

}  // namespace

std::optional<std::uint16_t> virtualKeyCode(std::uint16_t evdevCode) {
    for (const KeyPair& pair : kKeys) {
        if (pair.evdev == evdevCode) return pair.virtualKey;
    }
    return std::nullopt;
}

std::optional<std::uint16_t> evdevKeyCode(std::uint16_t virtualKeyCode) {
    for (const KeyPair& pair : kKeys) {
        if (pair.virtualKey == virtualKeyCode) return pair.evdev;
    }
    return std::nullopt;
}

std::uint64_t modifierFlag(std::uint16_t evdevCode) {
    for (const ModifierRow& row : kModifiers) {
        if (evdevCode == row.left || evdevCode == row.right) return row.flag;
    }
    return 0;
}

std::optional<std::uint16_t> modifierKey(std::uint64_t flag) {
    for (const ModifierRow& row : kModifiers) {
        if (row.flag == flag) return row.left;
    }
    return std::nullopt;
}

std::optional<std::uint16_t> mediaKeyCode(std::int32_t keyType) {
    for (const auto& [type, code] : kMediaKeys) {
        if (type == keyType) return code;
    }
    return std::nullopt;
}

}  // namespace glidra::linux_platform::key_codes
