#pragma once

#include "platform/LoginItems.h"

namespace glidra::sim {

// The login-item service in memory. Tests set any status directly (the user
// changing it in the system's settings), make registering or unregistering
// fail, and read back what the program asked for.
class SimLoginItems final : public LoginItems {
public:
    Status status() const override;
    std::optional<Error> registerApp() override;
    std::optional<Error> unregisterApp() override;

    void setStatus(Status status) { status_ = status; }
    // What a successful registration leads to: enabled, or requiresApproval
    // when the system wants the user's consent first.
    void setStatusAfterRegistering(Status status) { statusAfterRegistering_ = status; }
    // Every later call fails, changing nothing and reporting `description`,
    // until the failure is cleared with std::nullopt.
    void setRegisterFailure(std::optional<QString> description) { registerFailure_ = std::move(description); }
    void setUnregisterFailure(std::optional<QString> description) { unregisterFailure_ = std::move(description); }

    int registerCalls() const { return registerCalls_; }
    int unregisterCalls() const { return unregisterCalls_; }
    int statusReads() const { return statusReads_; }

private:
    Status status_ = Status::notRegistered;
    Status statusAfterRegistering_ = Status::enabled;
    std::optional<QString> registerFailure_;
    std::optional<QString> unregisterFailure_;
    int registerCalls_ = 0;
    int unregisterCalls_ = 0;
    mutable int statusReads_ = 0;
};

}  // namespace glidra::sim
