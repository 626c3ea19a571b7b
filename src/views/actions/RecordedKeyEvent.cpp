#include "views/actions/RecordedKeyEvent.h"

#include "actions/KeyboardShortcut.h"
#include "actions/ShortcutMediaKey.h"
#include "platform/KeyboardLayout.h"

#include <QKeyEvent>

#include <utility>

namespace glidra {

namespace {

// Keys whose code depends on no character.
constexpr std::pair<int, std::uint16_t> kNamedKeys[] = {
    {Qt::Key_Tab, 48},     {Qt::Key_Backtab, 48},   {Qt::Key_Escape, 53},    {Qt::Key_Space, 49},
    {Qt::Key_Return, 36},  {Qt::Key_Backspace, 51}, {Qt::Key_Delete, 117},   {Qt::Key_Left, 123},
    {Qt::Key_Right, 124},  {Qt::Key_Down, 125},     {Qt::Key_Up, 126},       {Qt::Key_Home, 115},
    {Qt::Key_End, 119},    {Qt::Key_PageUp, 116},   {Qt::Key_PageDown, 121}, {Qt::Key_Enter, 76},
    {Qt::Key_Insert, 114}, {Qt::Key_Help, 114},     {Qt::Key_F1, 122},       {Qt::Key_F2, 120},
    {Qt::Key_F3, 99},      {Qt::Key_F4, 118},       {Qt::Key_F5, 96},        {Qt::Key_F6, 97},
    {Qt::Key_F7, 98},      {Qt::Key_F8, 100},       {Qt::Key_F9, 101},       {Qt::Key_F10, 109},
    {Qt::Key_F11, 103},    {Qt::Key_F12, 111},      {Qt::Key_F13, 105},      {Qt::Key_F14, 107},
    {Qt::Key_F15, 113},    {Qt::Key_F16, 106},      {Qt::Key_F17, 64},       {Qt::Key_F18, 79},
    {Qt::Key_F19, 80},     {Qt::Key_F20, 90},
};

// Letters A to Z, digits 0 to 9, then the punctuation keys with the character
// Shift makes on a US layout, so a shifted press finds its key too.
constexpr std::uint16_t kLetters[] = {0,  11, 8,  2,  14, 3, 5,  4,  34, 38, 40, 37, 46,
                                      45, 31, 35, 12, 15, 1, 17, 32, 9,  13, 7,  16, 6};
constexpr std::uint16_t kDigits[] = {29, 18, 19, 20, 21, 23, 22, 26, 28, 25};
constexpr char kShiftedDigits[] = ")!@#$%^&*(";
constexpr std::pair<const char*, std::uint16_t> kPunctuation[] = {
    {"`~", 50}, {"-_", 27},  {"=+", 24}, {"[{", 33}, {"]}", 30}, {"\\|", 42},
    {";:", 41}, {"'\"", 39}, {",<", 43}, {".>", 47}, {"/?", 44},
};

constexpr std::pair<int, ShortcutMediaKey> kMediaKeys[] = {
    {Qt::Key_VolumeUp, ShortcutMediaKey::volumeUp},
    {Qt::Key_VolumeDown, ShortcutMediaKey::volumeDown},
    {Qt::Key_VolumeMute, ShortcutMediaKey::mute},
    {Qt::Key_MonBrightnessUp, ShortcutMediaKey::brightnessUp},
    {Qt::Key_MonBrightnessDown, ShortcutMediaKey::brightnessDown},
    {Qt::Key_MediaTogglePlayPause, ShortcutMediaKey::playPause},
    {Qt::Key_MediaPlay, ShortcutMediaKey::playPause},
    {Qt::Key_MediaPrevious, ShortcutMediaKey::previousTrack},
    {Qt::Key_MediaNext, ShortcutMediaKey::nextTrack},
    {Qt::Key_KeyboardBrightnessUp, ShortcutMediaKey::keyboardBrightnessUp},
    {Qt::Key_KeyboardBrightnessDown, ShortcutMediaKey::keyboardBrightnessDown},
};

bool isModifierKey(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_CapsLock:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
            return true;
        default:
            return false;
    }
}

// The character a Qt key stands for: Qt names a key that types a character by
// that character's upper case. Keys without one (dead keys, named keys) give
// nothing.
std::optional<QString> characterOfQtKey(int key) {
    if (key <= 0x20 || key >= Qt::Key_Escape) return std::nullopt;
    const auto c = char32_t(key);
    if (!QChar::isPrint(c)) return std::nullopt;
    return QString::fromUcs4(&c, 1);
}

}  // namespace

std::optional<std::uint16_t> keyCodeOfQtKey(int key) {
    for (const auto& [qtKey, code] : kNamedKeys) {
        if (qtKey == key) return code;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return kLetters[key - Qt::Key_A];
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return kDigits[key - Qt::Key_0];
    if (key > 0x20 && key < 0x7f) {
        const char c = char(key);
        for (int i = 0; i < 10; ++i) {
            if (kShiftedDigits[i] == c) return kDigits[i];
        }
        for (const auto& [characters, code] : kPunctuation) {
            if (characters[0] == c || characters[1] == c) return code;
        }
    }
    return std::nullopt;
}

std::uint64_t modifierFlags(Qt::KeyboardModifiers modifiers) {
    std::uint64_t flags = 0;
    if (modifiers & Qt::ControlModifier) flags |= modifier_flag::control;
    if (modifiers & Qt::AltModifier) flags |= modifier_flag::option;
    if (modifiers & Qt::ShiftModifier) flags |= modifier_flag::shift;
    if (modifiers & Qt::MetaModifier) flags |= modifier_flag::command;
    return flags;
}

std::optional<RecordedKeyEvent> RecordedKeyEvent::from(const QKeyEvent& key, const KeyboardLayout& layout) {
    const int code = key.key();
    if (isModifierKey(code)) return std::nullopt;
    const std::uint64_t flags = modifierFlags(key.modifiers());
    for (const auto& [qtKey, media] : kMediaKeys) {
        if (qtKey == code) return RecordedKeyEvent{mediaKeyEvent(media, true, flags), std::nullopt};
    }
    auto keyCode = layout.keyCodeOfScanCode(key.nativeScanCode());
    if (!keyCode) keyCode = keyCodeOfQtKey(code);
    // A key the program could not send again is not recorded.
    if (!keyCode) return std::nullopt;
    InputEvent event;
    event.type = InputEvent::Type::keyDown;
    event.keyCode = *keyCode;
    event.flags = flags;
    event.isAutoRepeat = key.isAutoRepeat();
    // The key's own character, not text(): Ctrl turns that into a control code.
    return RecordedKeyEvent{event, characterOfQtKey(code)};
}

}  // namespace glidra
