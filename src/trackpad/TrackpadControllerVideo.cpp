// Rules that act while the fingers are still down: a sideways slide that
// scrubs the browser's video, and a sideways swipe that switches tabs.

#include "trackpad/TrackpadController.h"

#include "actions/PlaybackTime.h"
#include "common/Localized.h"
#include "settings/ControlSettings.h"

#include <QPointer>

namespace glidra {

void TrackpadController::updateVideoScrub(DeviceId device, const std::vector<TouchPoint>& contacts,
                                          const GestureSessionContext& context) {
    if (devices_.tabClaimed.contains(device)) return;
    std::optional<VideoScrubTracker::Step> step;
    {
        VideoScrubTracker& tracker = devices_.videoTrackers[device];
        tracker.activationDistance = activationDistance(settings_.recognitionLevel());
        step = tracker.update(contacts, surfaceOf(device));
    }
    if (!step) return;

    if (!devices_.liveVideoRules.contains(device)) {
        // Chosen once, by the slide's direction when it was recognised; it
        // then scrubs both ways until the fingers lift.
        const GestureRule* winner = ruleIndex().bestMatch(step->gesture, context);
        if (winner == nullptr || winner->action != GestureAction::scrubVideo) return;
        devices_.liveVideoRules.insert_or_assign(device, *winner);
    }
    devices_.videoClaimed.insert(device);

    if (practiceMode_) {
        setStatus(localized(GLIDRA_TEXT("滑动视频进度")));
        hud_->show(HUDNotice{status_, QStringLiteral("play.rectangle"), HUDNotice::Kind::information});
        return;
    }
    scrubVideo(device, step->movement * settings_.sensitivity(), context.app);
}

void TrackpadController::scrubVideo(DeviceId device, double distance, const std::optional<QString>& application) {
    if (!canPerformActions(application)) return;
    ExecutorServices& executors = environment_.executors;
    if (executors.isApplicationSwitcherOpen()) executors.endApplicationSwitcher(true);
    const double scaled = distance * double(fineControlFactor());
    QPointer<TrackpadController> self(this);
    environment_.videoScrubber->step(device, application, scaled,
                                     [self, application](const VideoScrubberService::Update& update) {
                                         if (self) self->handleVideoUpdate(update, application);
                                     });
}

void TrackpadController::handleVideoUpdate(const VideoScrubberService::Update& update,
                                           const std::optional<QString>& application) {
    if (!canPerformActions(application)) return;
    if (const auto* error = std::get_if<BrowserVideoError>(&update)) {
        const QString text = message(*error);
        setVideoControlIssue(text);
        setStatus(text);
        hud_->show(HUDNotice{status_, QStringLiteral("play.slash"), HUDNotice::Kind::error});
        return;
    }
    const auto& state = std::get<BrowserVideoState>(update);
    setVideoControlIssue(std::nullopt);
    setStatus(formatPlaybackTime(state.time) + QStringLiteral(" / ") + formatPlaybackTime(state.duration));
    hud_->showVideoProgress(state);
}

void TrackpadController::updateTabSwipe(DeviceId device, const std::vector<TouchPoint>& contacts,
                                        const GestureSessionContext& context, double timestamp) {
    if (devices_.continuousClaimed.contains(device)) return;
    std::optional<GestureDescriptor> swipe;
    {
        TabSwipeTracker& tracker = devices_.tabTrackers[device];
        swipe = tracker.update(contacts, settings_.recognitionLevel(), timestamp, surfaceOf(device));
    }
    if (!swipe) return;

    const auto& rules = settings_.rules();
    const GestureRule* winner = ruleIndex().bestMatch(*swipe, context);
    if (winner == nullptr || !TabSwipeTracker::canClaim(swipe->fingers, *winner, rules, context)) return;
    // A copy: running the action may reset the gesture state or change the
    // rules.
    const GestureRule rule = *winner;
    // Claimed here, the swipe is no gesture at the lift: it is announced
    // now, before its action.
    Q_EMIT gestureRecognized(*swipe);

    if (practiceMode_) {
        setLastRecognizedGesture(swipe->title());
        setStatus(localized(GLIDRA_TEXT("%1（仅练习）")).arg(title(rule.action)));
    } else {
        if (!canPerformActions(context.app)) return;
        runBoundAction(rule.binding(), context.app);
    }
    // The tracker reports a swipe once: the action runs once per touch.
    devices_.tabClaimed.insert(device);
    devices_.continuousClaimed.insert(device);
}

}  // namespace glidra
