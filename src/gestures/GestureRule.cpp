#include "gestures/GestureRule.h"

#include "common/Localized.h"
#include "platform/ApplicationId.h"

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

bool inUnitRange(float value) { return std::isfinite(value) && value >= 0.0f && value <= 1.0f; }

// The two values a deferral can take: a rule of a further tap keeps the tap
// just long enough for the next one; a tap-swipe needs the full wait.
constexpr double furtherTapDeferral = 0.36;
constexpr double tapSwipeDeferral = 0.4;

}  // namespace

bool contains(GestureRegion region, const std::optional<TouchPoint>& point, float edgeWidth) {
    if (region == GestureRegion::anywhere) return true;
    if (!point || !inUnitRange(point->x) || !inUnitRange(point->y)) return false;
    const float x = point->x;
    const float y = point->y;
    const float w = edgeWidth;
    // Single precision throughout: 1.0f - 0.1f is 0.9f, 1.0 - 0.1f is not.
    const float far = 1.0f - w;
    const bool innerX = w < x && x < far;
    const bool innerY = w < y && y < far;
    switch (region) {
        case GestureRegion::anywhere:
            return true;
        case GestureRegion::center:
            return innerX && innerY;
        case GestureRegion::left:
            return x <= w && innerY;
        case GestureRegion::right:
            return x >= far && innerY;
        case GestureRegion::top:
            return y >= far && innerX;
        case GestureRegion::bottom:
            return y <= w && innerX;
        case GestureRegion::topLeft:
            return x <= w && y >= far;
        case GestureRegion::topRight:
            return x >= far && y >= far;
        case GestureRegion::bottomLeft:
            return x <= w && y <= w;
        case GestureRegion::bottomRight:
            return x >= far && y <= w;
        case GestureRegion::custom:
            return false;
    }
    return false;
}

std::vector<NormalizedRegionRect> GestureRule::customRegionList() const {
    if (customRegions) return *customRegions;
    if (customRegion) return {*customRegion};
    return {};
}

bool GestureRule::matchesRegion(const std::optional<TouchPoint>& point, float edgeWidth) const {
    const GestureRegion preset = region.value_or(GestureRegion::anywhere);
    if (preset != GestureRegion::custom) return contains(preset, point, edgeWidth);

    return customAreaHolds(customArea(), point);
}

std::optional<NormalizedRegionRect> GestureRule::customArea() const {
    const auto common = NormalizedRegionRect::intersection(customRegionList());
    if (!common || !common->isValid()) return std::nullopt;
    return common;
}

bool GestureRule::customAreaHolds(const std::optional<NormalizedRegionRect>& area,
                                  const std::optional<TouchPoint>& point) {
    if (!area || !point) return false;
    const float x = point->x;
    const float y = point->y;
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    return area->minX <= x && x <= area->maxX && area->minY <= y && y <= area->maxY;
}

bool GestureRule::matches(const GestureDescriptor& descriptor, const GestureSessionContext& context,
                          const std::optional<TouchPoint>& startCentroid) const {
    if (!isEnabled) return false;
    if (gesture.kind != descriptor.kind || gesture.fingers != descriptor.fingers) return false;
    if (usesDirection(descriptor.kind) && gesture.direction != descriptor.direction) return false;
    if (descriptor.kind == GestureDescriptor::Kind::tap && gesture.tapCount != descriptor.tapCount) return false;
    if (requiredModifiers != context.modifiers) return false;
    if (!appBundleID.isEmpty() && (!context.app || *context.app != appBundleID)) return false;
    return matchesRegion(startCentroid, context.regionWidth);
}

const GestureRule* GestureRule::bestMatch(std::span<const GestureRule> rules, const GestureDescriptor& gesture,
                                          const GestureSessionContext& context) {
    const std::optional<TouchPoint> startCentroid = context.startCentroid();
    const GestureRule* winner = nullptr;
    for (const GestureRule& rule : rules) {
        if (!rule.matches(gesture, context, startCentroid)) continue;
        if (winner == nullptr || rule.specificity() > winner->specificity()) winner = &rule;
    }
    return winner;
}

GestureBinding GestureRule::binding() const {
    return GestureBinding{GestureTrigger::leftUp, action, std::nullopt, shortcut, parameters, applicationTarget};
}

int GestureRule::specificity() const {
    int score = 0;
    if (!appBundleID.isEmpty()) score += 2;
    if (region && *region != GestureRegion::anywhere) score += 1;
    return score;
}

QString GestureRule::regionTitle() const {
    const GestureRegion preset = region.value_or(GestureRegion::anywhere);
    if (preset != GestureRegion::custom) return title(preset);
    return NormalizedRegionRect::listTitle(customRegionList());
}

QString GestureRule::actionTitle() const {
    switch (action) {
        case GestureAction::customShortcut:
            return shortcut ? shortcut->displayLabel() : title(action);
        case GestureAction::openApplication:
            return localized(GLIDRA_TEXT("打开 %1"))
                .arg(applicationTarget ? applicationTarget->name : localized(GLIDRA_TEXT("应用")));
        case GestureAction::openFile:
        case GestureAction::openFolder:
            if (parameters && parameters->resource) {
                return localized(GLIDRA_TEXT("打开 %1")).arg(parameters->resource->name);
            }
            return title(action);
        case GestureAction::openURL:
            // As typed, blanks included: the list shows what the user entered.
            if (parameters && parameters->website) return *parameters->website;
            return title(action);
        case GestureAction::runShortcut:
            return localized(GLIDRA_TEXT("运行 %1"))
                .arg(parameters && parameters->shortcut ? parameters->shortcut->name
                                                        : localized(GLIDRA_TEXT("快捷指令")));
        default:
            return title(action);
    }
}

std::optional<QString> GestureRule::validationMessage() const {
    if (action == GestureAction::none) return localized(GLIDRA_TEXT("请选择一个动作。"));
    if (action == GestureAction::openApplication && !applicationTarget) {
        return localized(GLIDRA_TEXT("请先选择应用。"));
    }
    if (action == GestureAction::customShortcut && !shortcut) return localized(GLIDRA_TEXT("请先设置快捷键。"));
    return resolvedParameters().validationMessage(action);
}

ActionParameters GestureRule::resolvedParameters() const { return parameters.value_or(ActionParameters{}); }

double GestureRule::tapDeferralInterval(qint64 fingers, qint64 tapCount, std::span<const GestureRule> rules,
                                        const GestureSessionContext& context) {
    const auto start = context.startCentroid();
    double interval = 0;
    for (const auto& rule : rules) interval = std::max(interval, rule.tapDeferral(fingers, tapCount, context, start));
    return interval;
}

double GestureRule::tapDeferral(qint64 fingers, qint64 tapCount, const GestureSessionContext& context,
                                const std::optional<TouchPoint>& startCentroid) const {
    if (action == GestureAction::none || gesture.fingers != fingers || !isEnabled) return 0;
    if (requiredModifiers != context.modifiers) return 0;
    // A rule limited to an application never counts while the front
    // application is unknown.
    if (!appBundleID.isEmpty() && appBundleID != context.app) return 0;
    if (!matchesRegion(startCentroid, context.regionWidth)) return 0;

    if (gesture.kind == GestureDescriptor::Kind::tap && gesture.tapCount > tapCount) return furtherTapDeferral;
    if (gesture.kind == GestureDescriptor::Kind::tapSwipe) return tapSwipeDeferral;
    return 0;
}

QJsonValue GestureRule::toJson() const {
    return JsonObjectWriter()
        .set(u"id", id)
        .set(u"isEnabled", isEnabled)
        .set(u"gesture", gesture)
        .set(u"customRegion", customRegion)
        .set(u"customRegions", customRegions)
        .set(u"region", region)
        .set(u"requiredModifiers", requiredModifiers)
        .set(u"appBundleID", appBundleID)
        .set(u"action", action)
        .set(u"parameters", parameters)
        .set(u"applicationTarget", applicationTarget)
        .set(u"shortcut", shortcut);
}

JsonResult<GestureRule> GestureRule::fromJson(const QJsonValue& json, const JsonPath& path) {
    JsonObjectReader in(json, path);
    GestureRule rule;
    rule.id = in.required<QUuid>(u"id");
    rule.isEnabled = in.required<bool>(u"isEnabled");
    rule.gesture = in.required<GestureDescriptor>(u"gesture");
    rule.customRegion = in.optional<NormalizedRegionRect>(u"customRegion");
    rule.customRegions = in.optional<std::vector<NormalizedRegionRect>>(u"customRegions");
    rule.region = in.optional<GestureRegion>(u"region");
    rule.requiredModifiers = in.required<std::uint64_t>(u"requiredModifiers");
    rule.appBundleID = currentApplicationId(in.required<QString>(u"appBundleID"));
    rule.action = in.required<GestureAction>(u"action");
    rule.parameters = in.optional<ActionParameters>(u"parameters");
    rule.applicationTarget = in.optional<ApplicationTarget>(u"applicationTarget");
    rule.shortcut = in.optional<KeyboardShortcut>(u"shortcut");
    if (in.failed()) return Failure{in.error()};
    return rule;
}

std::vector<GestureRule> upserting(std::vector<GestureRule> rules, const GestureRule& rule) {
    const auto existing =
        std::find_if(rules.begin(), rules.end(), [&](const GestureRule& element) { return element.id == rule.id; });
    if (existing != rules.end()) {
        *existing = rule;
    } else {
        rules.push_back(rule);
    }
    return rules;
}

}  // namespace glidra
