#pragma once

#include "platform/InputGrant.h"

namespace glidra {

// Whether the user has trusted this process for Accessibility, which the
// system requires before it lets the process watch other applications' keys.
class AccessibilityTrust {
public:
    virtual ~AccessibilityTrust() = default;

    // Asked afresh on each call: the user can grant or revoke it at any time.
    virtual bool isProcessTrusted() const = 0;

    // Whether one grant of input access is there, asked afresh on each call.
    // Where the system has one trust for everything, every grant follows it.
    virtual bool hasInputGrant(InputGrant) const { return isProcessTrusted(); }

    // Whether the input access comes from the system's input service.
    virtual InputService inputService() const { return InputService::notInstalled; }
};

}  // namespace glidra
