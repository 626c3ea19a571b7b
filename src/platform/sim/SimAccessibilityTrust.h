#pragma once

#include "platform/AccessibilityTrust.h"

#include <map>

namespace glidra::sim {

// Accessibility trust as the test grants or revokes it; not trusted at first,
// like a freshly installed program. Trusting grants every input access and
// revoking takes it all; each grant can then be set on its own.
class SimAccessibilityTrust final : public AccessibilityTrust {
public:
    bool isProcessTrusted() const override {
        ++queries_;
        return trusted_;
    }
    bool hasInputGrant(InputGrant grant) const override {
        const auto it = grants_.find(grant);
        return it == grants_.end() ? trusted_ : it->second;
    }
    void setTrusted(bool trusted) {
        trusted_ = trusted;
        grants_.clear();
    }
    void setInputGrant(InputGrant grant, bool granted) { grants_[grant] = granted; }
    InputService inputService() const override { return service_; }
    void setInputService(InputService service) { service_ = service; }
    int queries() const { return queries_; }

private:
    bool trusted_ = false;
    std::map<InputGrant, bool> grants_;
    InputService service_ = InputService::notInstalled;
    mutable int queries_ = 0;
};

}  // namespace glidra::sim
