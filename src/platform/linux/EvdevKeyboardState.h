#pragma once

#include "platform/KeyboardState.h"
#include "platform/linux/EvdevInputHub.h"

#include <memory>

namespace glidra::linux_platform {

// The user's keyboards as the kernel sees them now: the keys held on each
// (EVIOCGKEY) and Caps Lock's light, in the program's codes and flags. Our
// own virtual device is not among them, so what it holds (the application
// switcher's Alt, a shortcut's modifiers) never counts as the user's. Keeps
// the keyboards open while it lives.
class EvdevKeyboardState final : public KeyboardState {
public:
    explicit EvdevKeyboardState(EvdevInputHub& hub);

    std::uint64_t combinedFlags() const override;
    bool isKeyDown(std::uint16_t keyCode) const override;

private:
    EvdevInputHub& hub_;
    std::unique_ptr<EvdevInputHub::Lease> lease_;
};

}  // namespace glidra::linux_platform
