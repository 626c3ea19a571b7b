#pragma once

#include "gestures/GestureRegion.h"
#include "gestures/GestureRule.h"
#include "gestures/NormalizedRegionRect.h"

#include <QMetaType>

#include <optional>
#include <vector>

namespace glidra {

// The three fields of a rule that together say where it triggers. The region
// button takes them and hands them back together, so that an owner stores a
// new region as one change of its rule.
struct GestureRegionFields {
    // Absent counts as anywhere.
    std::optional<GestureRegion> region;
    std::optional<NormalizedRegionRect> customRegion;
    std::optional<std::vector<NormalizedRegionRect>> customRegions;

    friend bool operator==(const GestureRegionFields&, const GestureRegionFields&) = default;

    static GestureRegionFields of(const GestureRule& rule) {
        return {rule.region, rule.customRegion, rule.customRegions};
    }
    void applyTo(GestureRule& rule) const {
        rule.region = region;
        rule.customRegion = customRegion;
        rule.customRegions = customRegions;
    }
};

}  // namespace glidra

Q_DECLARE_METATYPE(glidra::GestureRegionFields)
