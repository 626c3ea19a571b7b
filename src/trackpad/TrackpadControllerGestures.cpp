// Recognised gestures: learning capture, practice reports, and choosing the
// rule whose action runs.

#include "trackpad/TrackpadController.h"

#include "actions/GestureAction.h"
#include "common/Localized.h"
#include "gestures/RuleDiagnostics.h"
#include "platform/FrontmostApplication.h"
#include "platform/LogCategories.h"
#include "settings/ControlSettings.h"
#include "settings/DisabledApplication.h"
#include "trackpad/TypingActivityMonitor.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace glidra {

namespace {

constexpr float kKeyboardBacklightStep = 0.0625f;
constexpr float kContinuousStep = 0.06f;

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
    // Read in place: the handler copies neither list.
    const auto& disabled = settings_.disabledApplications();
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
    const auto& rules = settings_.rules();
    const GestureRule* winner = ruleIndex().bestMatch(gesture, context, startCentroid);
    qCDebug(lcRecognition).noquote() << "recognised"
                                     << QJsonDocument(gesture.toJson().toObject()).toJson(QJsonDocument::Compact)
                                     << "in" << context.app.value_or(QStringLiteral("(unknown application)")) << "->"
                                     << (winner ? enumRaw(winner->action) : QStringLiteral("no rule"));

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

    const GestureBinding binding = winner->binding();
    if (isContinuousAdjustment(binding.action)) {
        const bool backlight = binding.action == GestureAction::keyboardBrightnessUp ||
                               binding.action == GestureAction::keyboardBrightnessDown;
        performAdjustment(binding, std::nullopt, backlight ? kKeyboardBacklightStep : kContinuousStep);
        return;
    }
    runBoundAction(binding, context.app);
}

}  // namespace glidra
