#pragma once

#include "platform/FrontmostApplication.h"

namespace glidra::sim {

// The front application as tests set it.
class SimFrontmostApplication final : public FrontmostApplication {
public:
    std::optional<QString> bundleIdentifier() const override { return bundleIdentifier_; }
    void setBundleIdentifier(std::optional<QString> identifier) { bundleIdentifier_ = std::move(identifier); }

private:
    std::optional<QString> bundleIdentifier_;
};

}  // namespace glidra::sim
