#pragma once

#include "common/Json.h"
#include "gestures/EdgeControlMode.h"
#include "gestures/GestureBinding.h"

#include <optional>
#include <vector>

namespace glidra {

// How one edge is set up: one preset for both directions (merged), or one
// binding per direction (split). Each state keeps what the other needs, so
// switching back and forth loses nothing.
struct EdgeConfiguration {
    bool isSplit = false;
    EdgeControlMode mergedMode = EdgeControlMode::brightness;  // shown and applied while merged
    std::optional<std::vector<GestureBinding>> splitBindings;  // kept for the split state

    QJsonValue toJson() const;
    static JsonResult<EdgeConfiguration> fromJson(const QJsonValue& json, const JsonPath& path);

    friend bool operator==(const EdgeConfiguration&, const EdgeConfiguration&) = default;
};

}  // namespace glidra
