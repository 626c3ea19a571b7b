// Edge slides: the one-finger region rules that keep a finger from the edges,
// and the router that turns a slide along an edge into its binding's level
// change, video scrub or one-shot action.

#include "trackpad/TrackpadController.h"

#include "actions/GestureAction.h"
#include "common/Localized.h"
#include "settings/ControlSettings.h"

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

// The activation candidate when no one-shot edge binding exists.
constexpr float kNoOneShotCandidate = 0.025f;
// A finger this close to where it landed has not moved yet.
constexpr float kRegionRuleStillness = 0.01f;

bool isEdgeTrigger(GestureTrigger trigger) {
    using T = GestureTrigger;
    switch (trigger) {
        case T::leftUp:
        case T::leftDown:
        case T::rightUp:
        case T::rightDown:
        case T::topLeft:
        case T::topRight:
        case T::bottomLeft:
        case T::bottomRight:
            return true;
        default:
            return false;
    }
}

// Slides toward the start of the video: down the side edges, left along the
// top and bottom.
bool scrubsBackward(GestureTrigger trigger) {
    using T = GestureTrigger;
    return trigger == T::leftDown || trigger == T::rightDown || trigger == T::topLeft || trigger == T::bottomLeft;
}

}  // namespace

float TrackpadController::activationDistance(GestureRecognitionLevel level) {
    switch (level) {
        case GestureRecognitionLevel::relaxed:
            return 0.015f;
        case GestureRecognitionLevel::standard:
            return 0.025f;
        case GestureRecognitionLevel::deliberate:
            return 0.04f;
    }
    return 0.025f;
}

bool TrackpadController::edgeRuleRegionHit(const std::vector<TouchPoint>& contacts,
                                           const GestureSessionContext& context, const TouchSurface& surface) const {
    if (contacts.size() != 1) return false;
    const std::optional<TouchPoint> start = context.startCentroid();
    if (!start) return false;
    const float dx = contacts[0].x - start->x;
    const float dy = contacts[0].y - start->y;
    if (std::fabs(dx) < kRegionRuleStillness && std::fabs(dy) < kRegionRuleStillness) return false;
    const GestureDescriptor::Direction direction = surface.direction(dx, dy);

    // The one-finger rules of a slide this way, or of a circle or a back and
    // forth, that act and have a region holding the start.
    using Kind = GestureDescriptor::Kind;
    const auto claims = [](const GestureRule& rule) {
        return rule.action != GestureAction::none && rule.region && *rule.region != GestureRegion::anywhere;
    };
    const GestureRuleIndex& index = ruleIndex();
    for (const Kind kind : {Kind::swipe, Kind::holdSwipe, Kind::tapSwipe, Kind::circle, Kind::backAndForth}) {
        GestureDescriptor slide;
        slide.kind = kind;
        slide.fingers = 1;
        slide.direction = direction;
        if (index.anyCandidate(slide, context, start, claims)) return true;
    }
    return false;
}

float TrackpadController::edgeActivationDistance() const {
    if (edgeActivationDistance_) return *edgeActivationDistance_;
    const GestureRecognitionLevel level = settings_.recognitionLevel();
    const float distance = activationDistance(level);
    if (level == GestureRecognitionLevel::deliberate) return *(edgeActivationDistance_ = distance);
    // A short one-shot binding must not be outrun by the router's own start.
    std::optional<float> shortest;
    for (const GestureBinding& binding : settings_.bindings()) {
        if (!isEdgeTrigger(binding.trigger) || binding.action == GestureAction::none ||
            isContinuousAdjustment(binding.action)) {
            continue;
        }
        const int percent = binding.slideDistance.value_or(SlideDistance{}).percent;
        const float candidate = float(percent) / 100.0f;
        if (!shortest || candidate < *shortest) shortest = candidate;
    }
    return *(edgeActivationDistance_ = std::min(distance, shortest.value_or(kNoOneShotCandidate)));
}

void TrackpadController::routeEdgeGestures(DeviceId device, qint32 contact, bool present, float x, float y) {
    if (!isEnabled_ || isRecordingShortcut_) return;

    const auto known = devices_.contactIDs.find(device);
    if (!present || known == devices_.contactIDs.end() || known->second != contact) {
        // Another finger, or none: whatever the last one did is over.
        releasePointerLock(device);
        devices_.actionDistanceGates.erase(device);
        devices_.discreteDevices.erase(device);
        if (present) {
            devices_.contactIDs.insert_or_assign(device, contact);
        } else {
            devices_.contactIDs.erase(device);
        }
    }

    const auto sensitivity = float(settings_.sensitivity());
    std::optional<GestureRouter::Step> step;
    {
        GestureRouter& router = devices_.gestures[device];
        step = router.update(contact, present, x, y, float(settings_.edgeWidth()), sensitivity,
                             edgeActivationDistance(), surfaceOf(device));
    }
    if (!step) return;

    // Bindings of the split triggers are the configuration's; the router
    // reports only the eight plain ones.
    const auto& bindings = settings_.bindings();
    const auto found = std::find_if(bindings.begin(), bindings.end(),
                                    [&](const GestureBinding& binding) { return binding.trigger == step->trigger; });
    if (found == bindings.end()) return;
    // A copy: the calls below may replace the settings' bindings or reset
    // the gesture state.
    const GestureBinding binding = *found;
    if (binding.action == GestureAction::none) {
        devices_.actionDistanceGates.erase(device);
        return;
    }
    devices_.edgeClaimed.insert(device);

    const bool oneShot = !isContinuousAdjustment(binding.action);
    if (oneShot) {
        const int percent = binding.slideDistance.value_or(SlideDistance{}).percent;
        if (!devices_.actionDistanceGates[device].passes(step->trigger, percent, step->magnitude / sensitivity)) {
            return;
        }
    } else {
        devices_.actionDistanceGates.erase(device);
    }

    if (practiceMode_) {
        setStatus(localized(GLIDRA_TEXT("识别：%1 → %2")).arg(title(step->trigger), title(binding.action)));
        hud_->show(HUDNotice{status_, QStringLiteral("hand.draw"), HUDNotice::Kind::information});
        return;
    }

    const auto context = devices_.contexts.find(device);
    const std::optional<QString> application =
        context != devices_.contexts.end() ? context->second.app : std::optional<QString>();
    if (binding.action == GestureAction::scrubVideo) {
        const double distance = double(step->magnitude);
        scrubVideo(device, scrubsBackward(step->trigger) ? -distance : distance, application);
        return;
    }
    if (!oneShot) {
        performAdjustment(binding, device, step->magnitude);
        return;
    }
    if (devices_.discreteDevices.contains(device)) return;
    devices_.discreteDevices.insert(device);
    const quint64 epoch = actionEpoch_;
    runBoundAction(binding, application);
    if (actionEpoch_ != epoch) {
        // Closing the application switcher reset the gesture state under
        // this very touch; it has had its action all the same, and must not
        // earn it a second time by sliding on.
        devices_.discreteDevices.insert(device);
        devices_.contactIDs.insert_or_assign(device, contact);
    }
}

}  // namespace glidra
