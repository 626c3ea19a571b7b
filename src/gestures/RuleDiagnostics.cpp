#include "gestures/RuleDiagnostics.h"

#include "actions/KeyboardShortcut.h"
#include "common/Localized.h"
#include "gestures/GestureRuleConflict.h"

#include <algorithm>
#include <utility>

namespace glidra {

namespace {

bool isFinderQuickLookForcePress(const GestureRule& rule) {
    return rule.action == GestureAction::quickLook && rule.appBundleID == QLatin1StringView("com.apple.finder") &&
           rule.gesture.kind == GestureDescriptor::Kind::forcePress && rule.gesture.fingers == 1 &&
           rule.requiredModifiers == 0 && rule.region.value_or(GestureRegion::anywhere) == GestureRegion::anywhere;
}

// Conflicts are judged as if every rule were on: the user may enable a
// disabled rule later, and the migration must not set up a clash for then.
bool addsOnlyApplicationOverrides(const GestureRule& candidate, std::span<const GestureRule> rules, float edgeWidth) {
    std::vector<GestureRule> others;
    for (const auto& rule : rules) {
        if (rule.id == candidate.id) continue;
        others.push_back(rule);
        others.back().isEnabled = true;
    }
    GestureRule enabledCandidate = candidate;
    enabledCandidate.isEnabled = true;
    const auto conflicts = GestureRuleConflict::conflictsForRule(enabledCandidate, others, edgeWidth);
    return std::all_of(conflicts.begin(), conflicts.end(), [](const GestureRuleConflict& conflict) {
        return conflict.kind == GestureRuleConflict::Kind::applicationOverride;
    });
}

template <typename Keep>
std::vector<const GestureRule*> narrowed(const std::vector<const GestureRule*>& rules, Keep keep) {
    std::vector<const GestureRule*> kept;
    std::copy_if(rules.begin(), rules.end(), std::back_inserter(kept),
                 [&](const GestureRule* rule) { return keep(*rule); });
    return kept;
}

}  // namespace

std::vector<GestureRule> migrateFinderQuickLookRules(std::span<const GestureRule> rules, float edgeWidth) {
    std::vector<GestureRule> list(rules.begin(), rules.end());
    for (auto& rule : list) {
        if (!isFinderQuickLookForcePress(rule)) continue;
        GestureRule candidate = rule;
        candidate.gesture = GestureDescriptor{GestureDescriptor::Kind::tap, 3, GestureDescriptor::Direction::right, 1};
        if (addsOnlyApplicationOverrides(candidate, list, edgeWidth)) rule = std::move(candidate);
    }
    return list;
}

std::optional<QString> missDiagnosis(std::span<const GestureRule> rules, const GestureDescriptor& gesture,
                                     std::uint64_t modifiers, const std::optional<QString>& application,
                                     const std::optional<TouchPoint>& startCentroid, float edgeWidth) {
    std::vector<const GestureRule*> all;
    for (const auto& rule : rules) all.push_back(&rule);

    const auto sameGesture =
        narrowed(all, [&](const GestureRule& rule) { return rule.gesture.isSameGesture(gesture); });
    if (sameGesture.empty()) return localized(GLIDRA_TEXT("还没有绑定这个手势"));

    const auto usable = narrowed(
        sameGesture, [](const GestureRule& rule) { return rule.isEnabled && rule.action != GestureAction::none; });
    if (usable.empty()) return localized(GLIDRA_TEXT("这个手势未启用或尚未选择动作"));

    const auto forApplication = narrowed(usable, [&](const GestureRule& rule) {
        return rule.appBundleID.isEmpty() || (application && rule.appBundleID == *application);
    });
    if (forApplication.empty()) return localized(GLIDRA_TEXT("当前应用不适用"));

    const auto withModifiers =
        narrowed(forApplication, [&](const GestureRule& rule) { return rule.requiredModifiers == modifiers; });
    if (withModifiers.empty()) {
        const QString wanted = requiredModifiersText(forApplication.front()->requiredModifiers);
        // Nothing to name means the rule wants no keys and some were held.
        if (wanted.isEmpty()) return localized(GLIDRA_TEXT("请松开键盘组合键再试"));
        return localized(GLIDRA_TEXT("需要同时按住 %1")).arg(wanted);
    }

    const bool inRegion = std::any_of(withModifiers.begin(), withModifiers.end(), [&](const GestureRule* rule) {
        return rule->matchesRegion(startCentroid, edgeWidth);
    });
    if (inRegion) return std::nullopt;
    return localized(GLIDRA_TEXT("起点不在触发区域内"));
}

QString requiredModifiersText(std::uint64_t modifiers) {
    // Fn is no key a rule can ask for.
    return modifierNames(modifiers & (modifier_flag::shortcutMask & ~modifier_flag::function));
}

}  // namespace glidra
