// Continuous adjustments: brightness, volume and keyboard backlight follow
// the finger, from a recognised gesture, an edge slide or a multi-finger rule
// whose fingers keep moving; the pointer may be held still meanwhile.

#include "trackpad/TrackpadController.h"

#include "bridge/MultitouchBridge.h"
#include "common/Localized.h"
#include "platform/FrontmostApplication.h"
#include "platform/KeyboardState.h"
#include "settings/ControlSettings.h"

namespace glidra {

namespace {

constexpr std::uint16_t kLeftOptionKey = 58;
constexpr std::uint16_t kRightOptionKey = 61;

// A level as the status line gives it: truncated, so 0.995 reads 99 %.
QString percentOf(float level) { return QString::number(int(level * 100)) + QLatin1Char('%'); }

}  // namespace

float TrackpadController::fineControlFactor() const {
    const KeyboardState& keyboard = environment_.keyboard;
    return keyboard.isKeyDown(kLeftOptionKey) || keyboard.isKeyDown(kRightOptionKey) ? kFineControlFactor : 1.0f;
}

void TrackpadController::engagePointerLockIfNeeded(std::optional<DeviceId> device) {
    if (!device || !settings_.locksPointerDuringEdgeAdjustments()) return;
    edgePointerLock_.engage(*device);
    edgePointerLock_.refresh(*device);
}

void TrackpadController::performAdjustment(const GestureBinding& binding, std::optional<DeviceId> device, float step) {
    // The application in front now, not the gesture's: a level is the
    // system's, whichever application the finger started in.
    if (!canPerformActions(environment_.frontmostApplication.bundleIdentifier())) return;
    step *= fineControlFactor();

    using A = GestureAction;
    switch (binding.action) {
        case A::brightnessUp:
        case A::brightnessDown: {
            float level = 0;
            if (!glidraStepBuiltInBrightness(&level, binding.action == A::brightnessUp ? step : -step)) {
                setStatus(localized(GLIDRA_TEXT("此屏幕不支持亮度调节")));
                hud_->show(HUDNotice{status_, QStringLiteral("sun.max"), HUDNotice::Kind::error});
                return;
            }
            engagePointerLockIfNeeded(device);
            setStatus(localized(GLIDRA_TEXT("亮度 ")) + percentOf(level));
            hud_->showAdjustment(EdgeGesture::Side::brightness, level);
            return;
        }
        case A::volumeUp:
        case A::volumeDown: {
            const std::optional<float> volume =
                environment_.executors.adjustOutputVolume(binding.action == A::volumeUp ? step : -step);
            if (!volume) {
                setStatus(localized(GLIDRA_TEXT("此设备不支持音量调节")));
                hud_->show(HUDNotice{status_, QStringLiteral("speaker.slash"), HUDNotice::Kind::error});
                return;
            }
            engagePointerLockIfNeeded(device);
            setStatus(localized(GLIDRA_TEXT("音量 ")) + percentOf(*volume));
            hud_->showAdjustment(EdgeGesture::Side::volume, *volume);
            return;
        }
        case A::keyboardBrightnessUp:
        case A::keyboardBrightnessDown: {
            const std::optional<HUDNotice> notice = environment_.executors.adjustKeyboardBacklight(
                binding.action == A::keyboardBrightnessUp ? step : -step);
            if (!notice) return;
            setStatus(notice->text);
            hud_->show(*notice);
            return;
        }
        default:
            return;
    }
}

void TrackpadController::updateContinuousTrackers(DeviceId device, const std::vector<TouchPoint>& contacts,
                                                  const GestureSessionContext& context) {
    if (devices_.tabClaimed.contains(device)) return;
    std::optional<ContinuousGestureTracker::Step> step;
    {
        ContinuousGestureTracker& tracker = devices_.continuousTrackers[device];
        step = tracker.update(contacts, activationDistance(settings_.recognitionLevel()), surfaceOf(device));
    }
    if (!step) return;

    const GestureRule* winner = ruleIndex().bestMatch(step->gesture, context);
    if (winner == nullptr || !isContinuousAdjustment(winner->action) || winner->action == GestureAction::scrubVideo) {
        return;
    }
    // A copy: an observer of the announcement may change the rules.
    const GestureBinding binding = winner->binding();
    // The first step claims the touch, which then is no gesture at the lift:
    // the gesture is announced once, now.
    if (devices_.continuousClaimed.insert(device)) Q_EMIT gestureRecognized(step->gesture);

    if (practiceMode_) {
        setLastRecognizedGesture(step->gesture.title());
        setStatus(localized(GLIDRA_TEXT("%1（仅练习）")).arg(title(binding.action)));
        return;
    }
    performAdjustment(binding, std::nullopt, step->length * float(settings_.sensitivity()));
}

}  // namespace glidra
