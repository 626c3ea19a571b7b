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

// The label's modifier part: "Fn " when Fn is held, then ⌃ ⌥ ⇧ ⌘ in that order.
QString modifierSymbols(std::uint64_t modifiers);

// A key combination the user recorded or picked.
struct KeyboardShortcut {
    std::uint16_t keyCode = 0;  // virtual key code
    std::uint64_t modifiers = 0;
    QString label;                             // modifier symbols, then the key title
    std::optional<ShortcutMediaKey> mediaKey;  // when set, sent instead of the key code

    // The shortcut of a recorded key press; nothing for plain Escape, which
    // cancels recording instead.
    static std::optional<KeyboardShortcut> fromRecordedKey(std::uint16_t keyCode, std::uint64_t modifiers,
                                                           const std::optional<QString>& characters);

    QJsonValue toJson() const;
    static JsonResult<KeyboardShortcut> fromJson(const QJsonValue& json, const JsonPath& path);

    friend bool operator==(const KeyboardShortcut&, const KeyboardShortcut&) = default;
};

}  // namespace glidra
