#include "platform/linux/EvdevKeyboardState.h"

#include "platform/linux/KeyCodeTranslation.h"

#include <algorithm>

namespace glidra::linux_platform {

EvdevKeyboardState::EvdevKeyboardState(EvdevInputHub& hub)
    : hub_(hub), lease_(hub.acquire(unsigned(InputDeviceClass::keyboard))) {}

std::uint64_t EvdevKeyboardState::combinedFlags() const {
    std::uint64_t flags = 0;
    for (const std::uint16_t code : hub_.heldKeys(InputDeviceClass::keyboard)) flags |= key_codes::modifierFlag(code);
    if (hub_.capsLockLit()) flags |= key_codes::kCapsLockFlag;
    return flags;
}

bool EvdevKeyboardState::isKeyDown(std::uint16_t keyCode) const {
    const auto held = hub_.heldKeys(InputDeviceClass::keyboard);
    return std::any_of(held.begin(), held.end(),
                       [keyCode](std::uint16_t code) { return key_codes::virtualKeyCode(code) == keyCode; });
}

}  // namespace glidra::linux_platform
