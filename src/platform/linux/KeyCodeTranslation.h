#pragma once

#include <cstdint>
#include <optional>

namespace glidra::linux_platform {

// Between the kernel's key codes and the program's own encoding (the stored
// key codes and 0x100000-style modifier flags), which is what rules store and
// archives carry between machines.
//
// PC keys with no code of their own stand for the key in their place on the
// other keyboard: Print is F13 (105), Scroll Lock F14 (107), Pause F15 (113)
// and Insert Help (114). Backwards those codes give the PC key, the one a
// Linux keyboard has.
namespace key_codes {

// The program's modifier flag bits.
inline constexpr std::uint64_t kCapsLockFlag = 0x10000;
inline constexpr std::uint64_t kShiftFlag = 0x20000;
inline constexpr std::uint64_t kControlFlag = 0x40000;
inline constexpr std::uint64_t kOptionFlag = 0x80000;
inline constexpr std::uint64_t kCommandFlag = 0x100000;

// The program's code of a kernel key; nothing for keys it has no code for.
std::optional<std::uint16_t> virtualKeyCode(std::uint16_t evdevCode);
// The kernel key to post for one of the program's codes.
std::optional<std::uint16_t> evdevKeyCode(std::uint16_t virtualKeyCode);

// The flag a held modifier key sets (Ctrl ⌃, Alt ⌥, Shift ⇧, Super ⌘); 0 for
// every other key.
std::uint64_t modifierFlag(std::uint16_t evdevCode);
// The left-hand key that sets `flag` (one of the four modifier flags).
std::optional<std::uint16_t> modifierKey(std::uint64_t flag);

// The kernel key of a media key type (the system-defined event's key type:
// volume, brightness, playback and keyboard backlight keys).
std::optional<std::uint16_t> mediaKeyCode(std::int32_t keyType);

}  // namespace key_codes

}  // namespace glidra::linux_platform
