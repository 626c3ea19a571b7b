// The edge operations and the rule normalisation of ControlSettings.

#include "settings/ControlSettings.h"

#include <algorithm>

namespace glidra {

namespace {

bool belongsTo(EdgeLocation edge, GestureTrigger trigger) {
    const auto edgeTriggers = triggers(edge);
    return std::find(edgeTriggers.begin(), edgeTriggers.end(), trigger) != edgeTriggers.end();
}

// The mode a merged edge can stand in. Custom is no merged mode: it would
// leave a configuration that no archive accepts, so it gives way to what the
// bindings amount to, or else to what the edge does by default.
EdgeControlMode mergeableMode(const std::vector<GestureBinding>& bindings, EdgeLocation edge) {
    const EdgeControlMode mode = inferredEdgeControlMode(bindings, edge);
    if (mode != EdgeControlMode::custom) return mode;
    return inferredEdgeControlMode(GestureBinding::defaultBindings(), edge);
}

}  // namespace

std::vector<GestureBinding> ControlSettings::currentEdgeBindings(EdgeLocation edge) const {
    std::vector<GestureBinding> result;
    std::copy_if(bindings_.begin(), bindings_.end(), std::back_inserter(result),
                 [edge](const GestureBinding& binding) { return belongsTo(edge, binding.trigger); });
    return result;
}

EdgeConfiguration ControlSettings::edgeConfiguration(EdgeLocation edge) const {
    const auto stored = edgeConfigurations_.find(enumRaw(edge));
    if (stored != edgeConfigurations_.end()) return stored->second;

    EdgeConfiguration derived;
    const EdgeControlMode inferred = inferredEdgeControlMode(bindings_, edge);
    derived.isSplit = inferred == EdgeControlMode::custom;
    derived.mergedMode = mergeableMode(bindings_, edge);
    return derived;
}

std::vector<GestureBinding> ControlSettings::edgeBindings(EdgeLocation edge, EdgeControlMode mode) const {
    const std::vector<GestureBinding> current = currentEdgeBindings(edge);
    std::optional<SlideDistance> keptDistance;
    if (!current.empty()) keptDistance = current.front().slideDistance;
    std::optional<ApplicationTarget> keptTarget;
    const auto withTarget = std::find_if(current.begin(), current.end(),
                                         [](const GestureBinding& binding) { return binding.applicationTarget; });
    if (withTarget != current.end()) keptTarget = withTarget->applicationTarget;

    std::vector<GestureBinding> result = glidra::apply(mode, bindings_, edge);
    for (GestureBinding& binding : result) {
        if (!belongsTo(edge, binding.trigger)) continue;
        binding.slideDistance = keptDistance;
        binding.applicationTarget = keptTarget;
    }
    return result;
}

void ControlSettings::setEdgeSplit(bool split, EdgeLocation edge) {
    const EdgeConfiguration configuration = edgeConfiguration(edge);
    if (configuration.isSplit == split) return;

    EdgeConfiguration next;
    next.isSplit = split;
    if (split) {
        // Bring back the per-direction bindings the edge had before merging.
        // Only the edge's own triggers are taken from them, so a stray entry
        // cannot rewrite another edge or a corner.
        if (configuration.splitBindings) {
            std::vector<GestureBinding> restored = bindings_;
            for (GestureBinding& binding : restored) {
                if (!belongsTo(edge, binding.trigger)) continue;
                const auto& kept = *configuration.splitBindings;
                const auto match = std::find_if(kept.begin(), kept.end(),
                                                [&](const GestureBinding& b) { return b.trigger == binding.trigger; });
                if (match != kept.end()) binding = *match;
            }
            setBindings(std::move(restored));
        }
        next.mergedMode = configuration.mergedMode;
        next.splitBindings = configuration.splitBindings;
    } else {
        // A split edge may carry custom as its merged mode (an edge whose
        // bindings fit no preset, or an imported archive); merging must not
        // keep it.
        next.mergedMode = configuration.mergedMode == EdgeControlMode::custom ? mergeableMode(bindings_, edge)
                                                                              : configuration.mergedMode;
        next.splitBindings = currentEdgeBindings(edge);
        setBindings(edgeBindings(edge, next.mergedMode));
    }
    storeEdgeConfiguration(edge, std::move(next));
}

void ControlSettings::setEdgeMode(EdgeControlMode mode, EdgeLocation edge) {
    if (mode == EdgeControlMode::custom) return;
    const EdgeConfiguration configuration = edgeConfiguration(edge);

    EdgeConfiguration next;
    next.isSplit = false;
    next.mergedMode = mode;
    next.splitBindings = configuration.isSplit ? std::optional(currentEdgeBindings(edge)) : configuration.splitBindings;
    setBindings(edgeBindings(edge, mode));
    storeEdgeConfiguration(edge, std::move(next));
}

void ControlSettings::storeEdgeConfiguration(EdgeLocation edge, EdgeConfiguration configuration) {
    EdgeConfigurationMap configurations = edgeConfigurations_;
    configurations.insert_or_assign(enumRaw(edge), std::move(configuration));
    setEdgeConfigurations(std::move(configurations));
}

GestureRule ControlSettings::normalizedRule(GestureRule rule) {
    if (!rule.customRegions) return rule;
    if (rule.region != GestureRegion::custom) {
        // A list that no custom region uses; the single rectangle stays.
        rule.customRegions.reset();
        return rule;
    }
    // Rectangles without a common area are left for the user to fix.
    if (const auto intersection = NormalizedRegionRect::intersection(*rule.customRegions)) {
        rule.customRegion = *intersection;
        rule.customRegions.reset();
    }
    return rule;
}

void ControlSettings::normalizeRules() {
    std::vector<GestureRule> normalized;
    normalized.reserve(rules_.size());
    for (const GestureRule& rule : rules_) normalized.push_back(normalizedRule(rule));
    if (normalized != rules_) setRules(std::move(normalized));
}

}  // namespace glidra
