#pragma once

#include <cstdint>

namespace glidra {

// The four modifier keys a rule can require, as the rule editor edits them.
// Stored in GestureRule::requiredModifiers as the flag bits below; other bits
// are dropped when the keys are folded back.
struct RuleModifierKeys {
    static constexpr std::uint64_t commandBit = 0x100000;
    static constexpr std::uint64_t optionBit = 0x80000;
    static constexpr std::uint64_t controlBit = 0x40000;
    static constexpr std::uint64_t shiftBit = 0x20000;

    bool command = false;
    bool option = false;
    bool control = false;
    bool shift = false;

    friend bool operator==(const RuleModifierKeys&, const RuleModifierKeys&) = default;

    static RuleModifierKeys of(std::uint64_t flags) {
        return {(flags & commandBit) != 0, (flags & optionBit) != 0, (flags & controlBit) != 0,
                (flags & shiftBit) != 0};
    }
    std::uint64_t flags() const {
        return (command ? commandBit : 0) | (option ? optionBit : 0) | (control ? controlBit : 0) |
               (shift ? shiftBit : 0);
    }
    bool any() const { return command || option || control || shift; }
};

}  // namespace glidra
