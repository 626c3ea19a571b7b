#pragma once

namespace glidra {

// Whether the user has trusted this process for Accessibility, which the
// system requires before it lets the process watch other applications' keys.
class AccessibilityTrust {
public:
    virtual ~AccessibilityTrust() = default;

    // Asked afresh on each call: the user can grant or revoke it at any time.
    virtual bool isProcessTrusted() const = 0;
};

}  // namespace glidra
