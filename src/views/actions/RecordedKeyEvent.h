#pragma once

#include "platform/InputEvent.h"

#include <QString>

#include <cstdint>
#include <optional>

class QKeyEvent;

namespace glidra {

class KeyboardLayout;

// A key press in one of the program's windows as the recorder takes it: the
// key-down with the program's key code and modifier flags and the key's
// printable character, or the system-defined event of a media key. Modifier
// keys alone, and keys without a code, give nothing.
//
// The key code is the physical key's, from the event's scan code, so that the
// shortcut replays as the key pressed on any layout; where the windowing
// system names no physical key, it is the US position of the key Qt reports.
struct RecordedKeyEvent {
    InputEvent event;
    std::optional<QString> characters;

    static std::optional<RecordedKeyEvent> from(const QKeyEvent& key, const KeyboardLayout& layout);
};

// The key code of a Qt key on a US layout; nothing for keys without one.
std::optional<std::uint16_t> keyCodeOfQtKey(int key);

// Ctrl → ⌃, Alt → ⌥, Shift → ⇧, Meta (Super) → ⌘. Fn is not among them: only
// the keyboard state knows it.
std::uint64_t modifierFlags(Qt::KeyboardModifiers modifiers);

}  // namespace glidra
