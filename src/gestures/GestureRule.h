#pragma once

#include "actions/ActionParameters.h"
#include "actions/ApplicationTarget.h"
#include "actions/GestureAction.h"
#include "actions/KeyboardShortcut.h"
#include "common/Json.h"
#include "gestures/GestureBinding.h"
#include "gestures/GestureDescriptor.h"
#include "gestures/GestureRegion.h"
#include "gestures/GestureSessionContext.h"
#include "gestures/NormalizedRegionRect.h"
#include "gestures/TouchPoint.h"

#include <QString>
#include <QUuid>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace glidra {

// Whether a point lies in a preset region whose edge bands are `edgeWidth`
// wide. Computed in single precision, as the pad reports positions: with a
// width of 0.1 the point x = 0.9 lies on the right edge, which double
// arithmetic would miss. anywhere holds every point, even none; custom holds
// none (a rule's custom rectangles are tested by GestureRule::matchesRegion).
bool contains(GestureRegion region, const std::optional<TouchPoint>& point, float edgeWidth);

// One gesture, under given conditions (region, held modifiers, front
// application), bound to one action. The settings keep an ordered list of
// these; lists and pickers identify a rule by its id.
struct GestureRule {
    // A default-constructed rule is a new rule: fresh id, enabled, three-finger
    // swipe right, anywhere, no modifiers, every application, no action.
    QUuid id = QUuid::createUuid();
    bool isEnabled = true;
    GestureDescriptor gesture;
    // The older single-rectangle form of a custom region.
    std::optional<NormalizedRegionRect> customRegion;
    // When present, replaces customRegion; the rectangles act as their
    // common intersection, not their union.
    std::optional<std::vector<NormalizedRegionRect>> customRegions;
    // nil counts as anywhere.
    std::optional<GestureRegion> region;
    // Event flag bits that must be held exactly; 0 for none.
    std::uint64_t requiredModifiers = 0;
    // The one application the rule is limited to; empty for all.
    QString appBundleID;
    GestureAction action = GestureAction::none;
    std::optional<ActionParameters> parameters;
    std::optional<ApplicationTarget> applicationTarget;
    std::optional<KeyboardShortcut> shortcut;

    friend bool operator==(const GestureRule&, const GestureRule&) = default;

    // The rectangles of a custom region: customRegions, else the single
    // customRegion, else none.
    std::vector<NormalizedRegionRect> customRegionList() const;

    // Whether the point (the centroid of the gesture's start contacts) lies in
    // the rule's trigger region, for edge bands `edgeWidth` wide.
    bool matchesRegion(const std::optional<TouchPoint>& point, float edgeWidth) const;
    // The area a custom region covers: the rectangles' common intersection,
    // when that is a valid rectangle.
    std::optional<NormalizedRegionRect> customArea() const;
    // Whether a custom region of that area holds the point (bounds included).
    static bool customAreaHolds(const std::optional<NormalizedRegionRect>& area,
                                const std::optional<TouchPoint>& point);

    // +2 for an application, +1 for a region other than anywhere (custom
    // included): the more specific rule wins among matches and conflicts.
    int specificity() const;

    // Whether the rule takes `gesture`, made in a session of `context` that
    // began at `startCentroid`: enabled, the same kind and fingers, the same
    // direction for directional kinds and tap count for taps, exactly the
    // held modifiers, its application (when it has one) and its region.
    bool matches(const GestureDescriptor& gesture, const GestureSessionContext& context,
                 const std::optional<TouchPoint>& startCentroid) const;
    // The rule of `rules` that takes `gesture`: the most specific, the earlier
    // one on a tie; nothing when none does.
    static const GestureRule* bestMatch(std::span<const GestureRule> rules, const GestureDescriptor& gesture,
                                        const GestureSessionContext& context);

    // The binding the rule's action runs with: its action, shortcut,
    // parameters and application; the trigger (the first) carries no meaning.
    GestureBinding binding() const;

    // The region as the rule list shows it.
    QString regionTitle() const;

    // The action as the rule list shows it, with its parameter.
    QString actionTitle() const;

    // Why the rule cannot be saved yet as far as its action goes; nothing
    // when the action has what it needs.
    std::optional<QString> validationMessage() const;

    // The parameters, or the empty parameters when the rule has none.
    ActionParameters resolvedParameters() const;

    // How long, in seconds, a tap of `fingers` fingers that has just reached
    // `tapCount` taps must be held back, because a rule that counts in this
    // session could still want a further tap (0.36) or a tap-swipe (0.4).
    static double tapDeferralInterval(qint64 fingers, qint64 tapCount, std::span<const GestureRule> rules,
                                      const GestureSessionContext& context);
    // This rule's part in it: 0 when it wants neither.
    double tapDeferral(qint64 fingers, qint64 tapCount, const GestureSessionContext& context,
                       const std::optional<TouchPoint>& startCentroid) const;

    QJsonValue toJson() const;
    static JsonResult<GestureRule> fromJson(const QJsonValue& json, const JsonPath& path);
};

// The list with `rule` in place of the element with the same id, or appended
// when there is none; the order is otherwise kept.
std::vector<GestureRule> upserting(std::vector<GestureRule> rules, const GestureRule& rule);

}  // namespace glidra
