#pragma once

#include "actions/GestureAction.h"

#include <cstdint>
#include <optional>
#include <span>

namespace glidra {

// One catalogue action that is carried out by sending a key combination to
// the front application or the desktop. Key codes and flags keep the stored
// encoding (the stored key codes; flag 0x40000 is Ctrl, 0x80000 Alt,
// 0x100000 Super); the event poster translates them at the edge.
struct BuiltInShortcut {
    GestureAction action;
    std::uint16_t keyCode;
    std::uint64_t flags;  // of the key-down; the key-up carries the held modifiers
};

// The 43 actions of the built-in shortcut table, with the keys a Linux desktop
// and its applications use for them. Hiding the front application and the
// emoji picker go through the workspace instead: no desktop has a key that
// hides a whole application, and the pickers are applications of their own.
std::span<const BuiltInShortcut> builtInShortcuts();

// The action's row; nothing for an action the table does not hold.
std::optional<BuiltInShortcut> builtInShortcut(GestureAction action);

}  // namespace glidra
