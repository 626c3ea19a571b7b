#pragma once

#include "gestures/GestureDescriptor.h"
#include "gestures/GestureRule.h"
#include "gestures/TouchPoint.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace glidra {

// Rewrites the older default rule "quick look on a one-finger force press
// anywhere", stored for the application "com.apple.finder", into a
// three-finger tap, rule by rule, but only where the tap would clash with
// nothing except all-applications rules that the application rule overrides
// anyway. Same length and order; a rewritten rule keeps its
// enabled flag and no longer qualifies, so running it twice changes nothing.
std::vector<GestureRule> migrateFinderQuickLookRules(std::span<const GestureRule> rules, float edgeWidth);

// Why a gesture recognised in practice mode fired no rule, or none when a
// rule would have fired. `modifiers` and `application` are those of the
// session's first contact; `startCentroid` is where its fingers landed.
std::optional<QString> missDiagnosis(std::span<const GestureRule> rules, const GestureDescriptor& gesture,
                                     std::uint64_t modifiers, const std::optional<QString>& application,
                                     const std::optional<TouchPoint>& startCentroid, float edgeWidth);

// The names of the held modifier keys, "Ctrl+Alt+Shift+Super" in that order;
// empty when none of the four is set.
QString requiredModifiersText(std::uint64_t modifiers);

}  // namespace glidra
