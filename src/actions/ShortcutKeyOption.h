#pragma once

#include "actions/ShortcutMediaKey.h"
#include "platform/EventPoster.h"
#include "platform/InputEvent.h"
#include "platform/KeyboardLayout.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace glidra {

// One key the manual shortcut editor offers: a key code with its printed
// title, or a media key (key code 0).
struct ShortcutKeyOption {
    std::uint16_t keyCode = 0;
    QString title;
    std::optional<ShortcutMediaKey> mediaKey;

    // "key:<code>", or "media:<raw>" for a media key, so that no media option
    // collides with the key of code 0.
    QString id() const;

    // Special keys, function keys, letters, digits, punctuation, media keys,
    // in that order; built once on first use.
    static const std::vector<ShortcutKeyOption>& all();

    // The leading special-key and function-key groups of all(): their titles
    // win over the characters a key press types.
    static std::span<const ShortcutKeyOption> specialAndFunctionKeys();

    // all(), with each letter, digit and punctuation key titled by what it
    // types on the layout of `legends`: the same positions, so the same
    // codes, under the names on the user's keys. Keys the legends lack keep
    // their US titles.
    static std::vector<ShortcutKeyOption> onLayout(const KeyboardLayout::Legends& legends);

    // The title of a key that types `characters`: upper case, taken one
    // character at a time, so that "ß" stays one letter.
    static QString titleOfCharacters(const QString& characters);

    // The tagged key-down and key-up events of one key stroke, key-down first,
    // from the process's private event source; nothing when the source or
    // either event cannot be made. The caller posts them.
    static std::optional<std::pair<InputEvent, InputEvent>> postKeyEvents(EventPoster& poster, std::uint16_t keyCode,
                                                                          std::uint64_t downFlags,
                                                                          std::uint64_t upFlags);

    friend bool operator==(const ShortcutKeyOption&, const ShortcutKeyOption&) = default;
};

}  // namespace glidra
