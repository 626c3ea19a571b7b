#pragma once

#include "platform/FrontmostApplication.h"

namespace glidra::sim {

// The front application as tests set it.
class SimFrontmostApplication final : public FrontmostApplication {
public:
    std::optional<QString> bundleIdentifier() const override { return bundleIdentifier_; }
    std::optional<std::int32_t> processIdentifier() const override { return processIdentifier_; }
    void setBundleIdentifier(std::optional<QString> identifier) { bundleIdentifier_ = std::move(identifier); }
    void setProcessIdentifier(std::optional<std::int32_t> pid) { processIdentifier_ = pid; }

private:
    std::optional<QString> bundleIdentifier_;
    std::optional<std::int32_t> processIdentifier_;
};

}  // namespace glidra::sim
