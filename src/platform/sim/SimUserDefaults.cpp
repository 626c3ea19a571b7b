#include "platform/sim/SimUserDefaults.h"

namespace glidra::sim {

std::optional<DefaultsValue> SimUserDefaults::value(const QString& key) const {
    const auto it = values_.constFind(key);
    if (it == values_.constEnd()) return std::nullopt;
    return *it;
}

bool SimUserDefaults::setValue(const QString& key, const DefaultsValue& value) {
    values_.insert(key, value);
    written_.append(key);
    return write();
}

bool SimUserDefaults::removeValue(const QString& key) {
    values_.remove(key);
    removed_.append(key);
    return write();
}

bool SimUserDefaults::write() {
    if (failsWrites_) {
        failure_ = failureReason_;
        return false;
    }
    // Like the file, a write carries every change made so far.
    durable_ = values_;
    failure_.clear();
    return true;
}

}  // namespace glidra::sim
