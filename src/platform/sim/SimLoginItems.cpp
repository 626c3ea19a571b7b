#include "platform/sim/SimLoginItems.h"

namespace glidra::sim {

LoginItems::Status SimLoginItems::status() const {
    ++statusReads_;
    return status_;
}

std::optional<LoginItems::Error> SimLoginItems::registerApp() {
    ++registerCalls_;
    if (registerFailure_) return Error{*registerFailure_};
    status_ = statusAfterRegistering_;
    return std::nullopt;
}

std::optional<LoginItems::Error> SimLoginItems::unregisterApp() {
    ++unregisterCalls_;
    if (unregisterFailure_) return Error{*unregisterFailure_};
    status_ = Status::notRegistered;
    return std::nullopt;
}

}  // namespace glidra::sim
