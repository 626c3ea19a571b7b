#include "gestures/GestureRuleIndex.h"

#include <QHash>

#include <algorithm>
#include <functional>

namespace glidra {

GestureRuleIndex::GestureRuleIndex(std::span<const GestureRule> rules) : rules_(rules) {
    for (std::uint32_t index = 0; index < rules.size(); ++index) {
        const GestureRule& rule = rules[index];
        if (!rule.isEnabled) continue;
        Entry entry;
        entry.index = index;
        entry.region = rule.region.value_or(GestureRegion::anywhere);
        if (entry.region == GestureRegion::custom) entry.area = rule.customArea();
        groups_[Key{rule.gesture.kind, rule.gesture.fingers, detailOf(rule.gesture), rule.requiredModifiers,
                    rule.appBundleID}]
            .push_back(entry);
        byKind_[kindKey(rule.gesture.kind, rule.gesture.fingers)].push_back(index);
    }
}

bool GestureRuleIndex::Entry::holds(const std::optional<TouchPoint>& point, float edgeWidth) const {
    if (region != GestureRegion::custom) return contains(region, point, edgeWidth);
    return GestureRule::customAreaHolds(area, point);
}

std::size_t GestureRuleIndex::KeyHash::operator()(const Key& key) const {
    std::size_t seed = qHash(key.app);
    const auto mix = [&seed](std::uint64_t value) {
        seed ^= std::hash<std::uint64_t>{}(value) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
    };
    mix(std::uint64_t(key.kind));
    mix(std::uint64_t(key.fingers));
    mix(std::uint64_t(key.detail));
    mix(key.modifiers);
    return seed;
}

qint64 GestureRuleIndex::detailOf(const GestureDescriptor& gesture) {
    if (usesDirection(gesture.kind)) return qint64(gesture.direction);
    if (gesture.kind == GestureDescriptor::Kind::tap) return gesture.tapCount;
    return 0;
}

std::uint64_t GestureRuleIndex::kindKey(GestureDescriptor::Kind kind, qint64 fingers) {
    return (std::uint64_t(fingers) << 8) ^ std::uint64_t(kind);
}

std::array<const std::vector<GestureRuleIndex::Entry>*, 2> GestureRuleIndex::groups(
    const GestureDescriptor& gesture, const GestureSessionContext& context) const {
    std::array<const std::vector<Entry>*, 2> found{nullptr, nullptr};
    if (groups_.empty()) return found;
    Key key{gesture.kind, gesture.fingers, detailOf(gesture), context.modifiers, QString()};
    if (const auto general = groups_.find(key); general != groups_.end()) found[1] = &general->second;
    // A rule limited to an application never counts while the front
    // application is unknown.
    if (context.app && !context.app->isEmpty()) {
        key.app = *context.app;
        if (const auto own = groups_.find(key); own != groups_.end()) found[0] = &own->second;
    }
    return found;
}

const GestureRule* GestureRuleIndex::bestMatch(const GestureDescriptor& gesture,
                                               const GestureSessionContext& context) const {
    return bestMatch(gesture, context, context.startCentroid());
}

const GestureRule* GestureRuleIndex::bestMatch(const GestureDescriptor& gesture, const GestureSessionContext& context,
                                               const std::optional<TouchPoint>& startCentroid) const {
    // A rule of the application outranks every rule of all applications
    // (2 or 3 against 0 or 1), so the general rules count only when none of
    // the application's takes the gesture. Within a group the stored order
    // breaks ties, as in the list.
    for (const std::vector<Entry>* group : groups(gesture, context)) {
        if (group == nullptr) continue;
        const GestureRule* winner = nullptr;
        int best = -1;
        for (const Entry& entry : *group) {
            if (!entry.holds(startCentroid, context.regionWidth)) continue;
            const GestureRule& rule = rules_[entry.index];
            const int score = rule.specificity();
            if (score > best) {
                winner = &rule;
                best = score;
            }
        }
        if (winner != nullptr) return winner;
    }
    return nullptr;
}

double GestureRuleIndex::tapDeferralInterval(qint64 fingers, qint64 tapCount,
                                             const GestureSessionContext& context) const {
    const std::optional<TouchPoint> start = context.startCentroid();
    double interval = 0;
    for (const GestureDescriptor::Kind kind : {GestureDescriptor::Kind::tap, GestureDescriptor::Kind::tapSwipe}) {
        forEachOfKind(kind, fingers, [&](const GestureRule& rule) {
            interval = std::max(interval, rule.tapDeferral(fingers, tapCount, context, start));
        });
    }
    return interval;
}

}  // namespace glidra
