#pragma once

#include "platform/AccessibilityTrust.h"

namespace glidra::sim {

// Accessibility trust as the test grants or revokes it; not trusted at first,
// like a freshly installed program.
class SimAccessibilityTrust final : public AccessibilityTrust {
public:
    bool isProcessTrusted() const override {
        ++queries_;
        return trusted_;
    }
    void setTrusted(bool trusted) { trusted_ = trusted; }
    int queries() const { return queries_; }

private:
    bool trusted_ = false;
    mutable int queries_ = 0;
};

}  // namespace glidra::sim
