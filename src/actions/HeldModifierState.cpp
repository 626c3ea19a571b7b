#include "actions/HeldModifierState.h"

#include "actions/KeyboardShortcut.h"

namespace glidra {

std::uint64_t heldModifierState(const KeyboardState& keyboard) {
    struct PhysicalModifier {
        std::uint64_t flag;
        std::uint16_t leftKey;
        std::uint16_t rightKey;
    };
    static constexpr PhysicalModifier kModifiers[] = {
        {modifier_flag::command, 55, 54},
        {modifier_flag::shift, 56, 60},
        {modifier_flag::control, 59, 62},
        {modifier_flag::option, 58, 61},
    };
    std::uint64_t flags = keyboard.combinedFlags() & ~std::uint64_t(0x1E0000);
    for (const auto& modifier : kModifiers) {
        if (keyboard.isKeyDown(modifier.leftKey) || keyboard.isKeyDown(modifier.rightKey)) flags |= modifier.flag;
    }
    return flags;
}

}  // namespace glidra
