#pragma once

#include "actions/ShortcutMediaKey.h"
#include "common/Json.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace glidra {

// Modifier bits of the event flags, the same in keyboard events and in the
// interface's modifier flags; stored as they are so archives move between
// machines.
namespace modifier_flag {
inline constexpr std::uint64_t capsLock = 0x10000;
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;
inline constexpr std::uint64_t option = 0x80000;
inline constexpr std::uint64_t command = 0x100000;
inline constexpr std::uint64_t function = 0x800000;
// What a recorded shortcut keeps: Fn, Command, Option, Control, Shift.
inline constexpr std::uint64_t shortcutMask = 0x9E0000;
}  // namespace modifier_flag

// The held modifier keys by the names Linux desktops print on keys and in
// shortcut settings, in their order, joined with "+": "Fn", "Ctrl", "Alt",
// "Shift", "Super" (Fn only when its flag is set, as a stored shortcut may
// carry it). Empty when none is held.
QString modifierNames(std::uint64_t modifiers);

// The label's modifier part: the names followed by "+", so that Ctrl and Alt
// with T read "Ctrl+Alt+T"; empty when no modifier is held.
QString modifierPrefix(std::uint64_t modifiers);

// A key combination the user recorded or picked.
struct KeyboardShortcut {
    std::uint16_t keyCode = 0;  // the stored key code
    std::uint64_t modifiers = 0;
    QString label;                             // modifier prefix, then the key title
    std::optional<ShortcutMediaKey> mediaKey;  // when set, sent instead of the key code

    // The shortcut of a recorded key press; nothing for plain Escape, which
    // cancels recording instead.
    static std::optional<KeyboardShortcut> fromRecordedKey(std::uint16_t keyCode, std::uint64_t modifiers,
                                                           const std::optional<QString>& characters);

    // The label as shown and spoken. Labels recorded by earlier versions
    // begin with the symbols "Fn " ⌃ ⌥ ⇧ ⌘; those are read again with the
    // key names, from the stored flags, so older settings and archives show
    // the same names as new recordings. The stored label is left as it is.
    QString displayLabel() const;

    QJsonValue toJson() const;
    static JsonResult<KeyboardShortcut> fromJson(const QJsonValue& json, const JsonPath& path);

    friend bool operator==(const KeyboardShortcut&, const KeyboardShortcut&) = default;
};

}  // namespace glidra
