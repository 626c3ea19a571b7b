#pragma once

#include "common/EnumTable.h"
#include "gestures/GestureRule.h"
#include "gestures/NormalizedRegionRect.h"

#include <QString>
#include <QUuid>

#include <optional>
#include <span>
#include <vector>

namespace glidra {

// The rectangles a rule can fire in: the preset region's rectangle for the
// edge width (nil counts as anywhere), or the common intersection of the
// custom rectangles. At most one element; empty when a custom list has no
// usable intersection, so such a rule conflicts with nothing.
std::vector<NormalizedRegionRect> effectiveRegions(const GestureRule& rule, float edgeWidth);

// Two rules that one performed gesture could both fire. The gesture handler
// settles this at run time by specificity; finding it beforehand lets the
// editor and the inspector warn, and lets the quick-look migration
// refuse a rewrite that would shadow another rule.
struct GestureRuleConflict {
    enum class Kind {
        // Same application setting and same regions: the rules are
        // interchangeable and the later one never runs.
        duplicate,
        // One rule is for all applications, the other for one: the
        // application rule wins inside its application.
        applicationOverride,
        // Same application setting, different but overlapping regions.
        regionOverlap,
    };

    // firstID is the rule that stands earlier in the examined list.
    QUuid firstID;
    QUuid secondID;
    QUuid winnerID;
    Kind kind = Kind::duplicate;
    // The first effective region of each rule and the first overlap, for the
    // region map.
    NormalizedRegionRect firstRegion;
    NormalizedRegionRect secondRegion;
    NormalizedRegionRect intersection;
    // All effective regions of each rule and all distinct overlaps; an absent
    // list stands for the single rectangle above. Always filled in here.
    std::optional<std::vector<NormalizedRegionRect>> firstRegions;
    std::optional<std::vector<NormalizedRegionRect>> secondRegions;
    std::optional<std::vector<NormalizedRegionRect>> intersections;

    friend bool operator==(const GestureRuleConflict&, const GestureRuleConflict&) = default;

    // Identity in lists: both UUIDs in upper-case 8-4-4-4-12 form, back to back.
    QString id() const;

    // The conflict of a pair, `first` being the rule that stands earlier;
    // none when either is disabled, they are the same rule, or they cannot
    // fire on the same gesture, modifiers, application and area.
    static std::optional<GestureRuleConflict> between(const GestureRule& first, const GestureRule& second,
                                                      float edgeWidth);

    // Every conflict among the enabled rules, ordered by the first rule's
    // position, then the second's.
    static std::vector<GestureRuleConflict> detectAll(std::span<const GestureRule> rules, float edgeWidth);

    // The conflicts of `rule` once it is put into `rules` by id (replacing
    // the rule with its id, else appended), each pair in list order: an
    // edited rule keeps its place, a new one is always second.
    static std::vector<GestureRuleConflict> conflictsForRule(const GestureRule& rule,
                                                             std::span<const GestureRule> rules, float edgeWidth);
};

template <>
struct EnumTable<GestureRuleConflict::Kind> {
    struct Row {
        GestureRuleConflict::Kind value;
        const char* raw;
    };
    using K = GestureRuleConflict::Kind;
    static constexpr Row cases[] = {
        {K::duplicate, "duplicate"},
        {K::applicationOverride, "applicationOverride"},
        {K::regionOverlap, "regionOverlap"},
    };
};

}  // namespace glidra
