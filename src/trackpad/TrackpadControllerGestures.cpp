// Recognised gestures: learning capture, practice reports, and choosing the
// rule whose action runs.

#include "trackpad/TrackpadController.h"

#include "actions/GestureAction.h"
#include "common/Localized.h"
#include "gestures/RuleDiagnostics.h"
#include "platform/FrontmostApplication.h"
#include "settings/ControlSettings.h"
#include "settings/DisabledApplication.h"
#include "trackpad/TypingActivityMonitor.h"

namespace glidra {

namespace {

constexpr float kKeyboardBacklightStep = 0.0625f;
constexpr float kContinuousStep = 0.06f;

bool ruleMatches(const GestureRule& rule, const GestureDescriptor& gesture, const GestureSessionContext& context,
                 const std::optional<TouchPoint>& startCentroid) {
    if (!rule.isEnabled) return false;
    if (rule.gesture.kind != gesture.kind || rule.gesture.fingers != gesture.fingers) return false;
    if (usesDirection(gesture.kind) && rule.gesture.direction != gesture.direction) return false;
    if (gesture.kind == GestureDescriptor::Kind::tap && rule.gesture.tapCount != gesture.tapCount) return false;
    if (rule.requiredModifiers != context.modifiers) return false;
    if (!rule.appBundleID.isEmpty() && (!context.app || *context.app != rule.appBundleID)) return false;
    return rule.matchesRegion(startCentroid, context.regionWidth);
}

}  // namespace

void TrackpadController::handleClick(const GestureDescriptor& gesture, const GestureSessionContext& context) {
    if (isEnabled_ && !isControlSuspended()) handleRecognizedGesture(gesture, context);
}

void TrackpadController::handleRecognizedGesture(const GestureDescriptor& gesture,
                                                 const GestureSessionContext& context) {
    Q_EMIT gestureRecognized(gesture);
    if (!isEnabled_ || !isListening_ || isControlSuspended()) return;
    const bool reportOnly = practiceMode_ || isLearningGesture_;

    // Typing noise: dropped, unless the gesture is only reported.
    TypingActivityMonitor& typing = typingMonitor();
    if (typing.isEnabled() && typing.isWithinTypingWindow() && !reportOnly) return;
    const auto disabled = settings_.disabledApplications();
    if (!reportOnly && contains(disabled, context.app)) return;

    setLastRecognizedGesture(gesture.title());

    if (isLearningGesture_) {
        setLearnedGesture(gesture);
        setLearningGesture(false);
        setStatus(localized(GLIDRA_TEXT("已录入：%1")).arg(gesture.title()));
        hud_->show(HUDNotice{gesture.title(), QStringLiteral("checkmark"), HUDNotice::Kind::information});
        return;
    }

    const std::optional<TouchPoint> startCentroid = context.startCentroid();
    const auto rules = settings_.rules();
    const GestureRule* winner = nullptr;
    for (const GestureRule& rule : rules) {
        if (!ruleMatches(rule, gesture, context, startCentroid)) continue;
        if (winner == nullptr || rule.specificity() > winner->specificity()) winner = &rule;
    }

    if (practiceMode_) {
        const auto diagnosis =
            missDiagnosis(rules, gesture, context.modifiers, context.app, startCentroid, context.regionWidth);
        if (contains(disabled, context.app)) {
            setStatus(localized(GLIDRA_TEXT("此应用已禁用自定义手势（仅练习）")));
        } else if (diagnosis) {
            setStatus(*diagnosis);
        } else {
            const QString action = winner ? title(winner->action) : localized(GLIDRA_TEXT("未绑定"));
            setStatus(localized(GLIDRA_TEXT("%1 → %2（仅练习）")).arg(gesture.title(), action));
        }
        hud_->show(HUDNotice{status_, QStringLiteral("hand.draw"), HUDNotice::Kind::information});
        return;
    }

    if (winner == nullptr || winner->action == GestureAction::none) return;
    if (environment_.frontmostApplication.bundleIdentifier() != context.app) {
        setStatus(localized(GLIDRA_TEXT("前台应用已变化，已取消手势操作。")));
        return;
    }
    if (winner->action == GestureAction::scrubVideo) return;

    const GestureBinding binding{GestureTrigger::leftUp, winner->action,     std::nullopt,
                                 winner->shortcut,       winner->parameters, winner->applicationTarget};
    if (isContinuousAdjustment(binding.action)) {
        const bool backlight = binding.action == GestureAction::keyboardBrightnessUp ||
                               binding.action == GestureAction::keyboardBrightnessDown;
        environment_.routing.performAdjustment(backlight ? kKeyboardBacklightStep : kContinuousStep, binding,
                                               std::nullopt);
        return;
    }
    runBoundAction(binding, context.app);
}

}  // namespace glidra
