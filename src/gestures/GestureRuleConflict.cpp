#include "gestures/GestureRuleConflict.h"

#include "common/Json.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <tuple>
#include <utility>

namespace glidra {

namespace {

// Rectangles that merely touch, or overlap by a rounding error, share no
// area a finger could start in.
constexpr float minimumOverlap = 0.000001f;

bool containsRect(const std::vector<NormalizedRegionRect>& rects, const NormalizedRegionRect& rect) {
    return std::find(rects.begin(), rects.end(), rect) != rects.end();
}

bool sameSet(const std::vector<NormalizedRegionRect>& a, const std::vector<NormalizedRegionRect>& b) {
    return std::all_of(a.begin(), a.end(), [&](const auto& r) { return containsRect(b, r); }) &&
           std::all_of(b.begin(), b.end(), [&](const auto& r) { return containsRect(a, r); });
}

}  // namespace

std::vector<NormalizedRegionRect> effectiveRegions(const GestureRule& rule, float edgeWidth) {
    const GestureRegion preset = rule.region.value_or(GestureRegion::anywhere);
    if (preset != GestureRegion::custom) return {rect(preset, edgeWidth)};
    const auto common = NormalizedRegionRect::intersection(rule.customRegionList());
    if (!common) return {};
    return {*common};
}

QString GestureRuleConflict::id() const { return json::uuidText(firstID) + json::uuidText(secondID); }

std::optional<GestureRuleConflict> GestureRuleConflict::between(const GestureRule& first, const GestureRule& second,
                                                                float edgeWidth) {
    if (!first.isEnabled || !second.isEnabled) return std::nullopt;
    if (first.id == second.id) return std::nullopt;
    if (!first.gesture.isSameGesture(second.gesture)) return std::nullopt;
    if (first.requiredModifiers != second.requiredModifiers) return std::nullopt;

    const bool sameApp = first.appBundleID == second.appBundleID;
    // Two different applications are never in front at the same time.
    if (!sameApp && !first.appBundleID.isEmpty() && !second.appBundleID.isEmpty()) return std::nullopt;

    const auto firstRects = effectiveRegions(first, edgeWidth);
    const auto secondRects = effectiveRegions(second, edgeWidth);
    if (firstRects.empty() || secondRects.empty()) return std::nullopt;

    std::vector<NormalizedRegionRect> overlaps;
    for (const auto& a : firstRects) {
        for (const auto& b : secondRects) {
            const NormalizedRegionRect overlap{std::max(a.minX, b.minX), std::max(a.minY, b.minY),
                                               std::min(a.maxX, b.maxX), std::min(a.maxY, b.maxY)};
            if (overlap.maxX - overlap.minX > minimumOverlap && overlap.maxY - overlap.minY > minimumOverlap &&
                !containsRect(overlaps, overlap)) {
                overlaps.push_back(overlap);
            }
        }
    }
    if (overlaps.empty()) return std::nullopt;

    Kind kind = Kind::regionOverlap;
    if (!sameApp) {
        kind = Kind::applicationOverride;
    } else if (first.region.value_or(GestureRegion::anywhere) == second.region.value_or(GestureRegion::anywhere) &&
               sameSet(firstRects, secondRects)) {
        kind = Kind::duplicate;
    }

    GestureRuleConflict conflict;
    conflict.firstID = first.id;
    conflict.secondID = second.id;
    // The gesture handler prefers the more specific rule, the earlier on a tie.
    conflict.winnerID = second.specificity() > first.specificity() ? second.id : first.id;
    conflict.kind = kind;
    conflict.firstRegion = firstRects.front();
    conflict.secondRegion = secondRects.front();
    conflict.intersection = overlaps.front();
    conflict.firstRegions = firstRects;
    conflict.secondRegions = secondRects;
    conflict.intersections = std::move(overlaps);
    return conflict;
}

std::vector<GestureRuleConflict> GestureRuleConflict::detectAll(std::span<const GestureRule> rules, float edgeWidth) {
    // Only rules of the same gesture and held keys can conflict, so pairs are
    // looked for within each such group: a list of ten thousand rules then
    // takes a few hundred thousand comparisons, not fifty million. The key
    // holds what isSameGesture compares.
    using Key = std::tuple<int, qint64, int, qint64, std::uint64_t>;
    std::map<Key, std::vector<size_t>> groups;
    for (size_t i = 0; i < rules.size(); ++i) {
        const GestureRule& rule = rules[i];
        if (!rule.isEnabled) continue;
        const GestureDescriptor& gesture = rule.gesture;
        const Key key{int(gesture.kind), gesture.fingers, usesDirection(gesture.kind) ? int(gesture.direction) : -1,
                      gesture.kind == GestureDescriptor::Kind::tap ? gesture.tapCount : -1, rule.requiredModifiers};
        groups[key].push_back(i);
    }
    std::vector<std::pair<std::pair<size_t, size_t>, GestureRuleConflict>> found;
    for (const auto& [key, members] : groups) {
        for (size_t a = 0; a < members.size(); ++a) {
            for (size_t b = a + 1; b < members.size(); ++b) {
                if (auto conflict = between(rules[members[a]], rules[members[b]], edgeWidth)) {
                    found.emplace_back(std::pair{members[a], members[b]}, std::move(*conflict));
                }
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<GestureRuleConflict> conflicts;
    conflicts.reserve(found.size());
    for (auto& [pair, conflict] : found) conflicts.push_back(std::move(conflict));
    return conflicts;
}

std::vector<GestureRuleConflict> GestureRuleConflict::conflictsForRule(const GestureRule& rule,
                                                                       std::span<const GestureRule> rules,
                                                                       float edgeWidth) {
    const auto list = upserting(std::vector<GestureRule>(rules.begin(), rules.end()), rule);
    const auto sameID = [&](const GestureRule& element) { return element.id == rule.id; };
    const auto position = std::find_if(list.begin(), list.end(), sameID) - list.begin();

    std::vector<GestureRuleConflict> conflicts;
    for (std::ptrdiff_t index = 0; index < std::ssize(list); ++index) {
        const GestureRule& other = list[static_cast<size_t>(index)];
        if (sameID(other)) continue;
        auto conflict = index < position ? between(other, rule, edgeWidth) : between(rule, other, edgeWidth);
        if (conflict) conflicts.push_back(std::move(*conflict));
    }
    return conflicts;
}

}  // namespace glidra
