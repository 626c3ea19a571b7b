#include "gestures/EdgeControlMode.h"

#include <algorithm>

namespace glidra {

QString title(EdgeControlMode mode) { return enumTitle(mode); }

std::optional<std::array<GestureAction, 2>> actions(EdgeControlMode mode) { return enumRow(mode).actions; }

std::vector<GestureBinding> apply(EdgeControlMode mode, const std::vector<GestureBinding>& bindings,
                                  EdgeLocation edge) {
    const auto pair = actions(mode);
    if (!pair) return bindings;

    const auto edgeTriggers = triggers(edge);
    std::vector<GestureBinding> result;
    result.reserve(bindings.size());
    for (const GestureBinding& binding : bindings) {
        const auto position = std::find(edgeTriggers.begin(), edgeTriggers.end(), binding.trigger);
        if (position == edgeTriggers.end()) {
            result.push_back(binding);
            continue;
        }
        GestureBinding rewritten;
        rewritten.trigger = binding.trigger;
        rewritten.action = (*pair)[size_t(position - edgeTriggers.begin())];
        rewritten.slideDistance = binding.slideDistance;
        rewritten.applicationTarget = binding.applicationTarget;
        result.push_back(std::move(rewritten));
    }
    return result;
}

EdgeControlMode inferredEdgeControlMode(const std::vector<GestureBinding>& bindings, EdgeLocation edge) {
    std::vector<const GestureBinding*> found;
    for (const GestureTrigger trigger : triggers(edge)) {
        const auto binding = std::find_if(bindings.begin(), bindings.end(),
                                          [trigger](const GestureBinding& b) { return b.trigger == trigger; });
        if (binding != bindings.end()) found.push_back(&*binding);
    }
    // A trigger without a binding leaves the edge matching no preset.
    if (found.size() != 2) return EdgeControlMode::custom;
    const std::array<GestureAction, 2> bound{found[0]->action, found[1]->action};

    // Two directions opening different applications are not one preset.
    if (bound == actions(EdgeControlMode::application) && found[0]->applicationTarget != found[1]->applicationTarget) {
        return EdgeControlMode::custom;
    }

    for (const auto& row : enumRows<EdgeControlMode>()) {
        if (row.actions == bound) return row.value;
    }
    return EdgeControlMode::custom;
}

}  // namespace glidra
