// The road of one contact frame: the hand-off from the framework's thread,
// the frame handler's gates and bookkeeping, the recognizers, the edge and
// tracker routing, and the tap that waits for a possible further tap.

#include "trackpad/TrackpadController.h"

#include "actions/HeldModifierState.h"
#include "bridge/MultitouchBridge.h"
#include "common/Localized.h"
#include "common/MainThreadInbox.h"
#include "gestures/ForcePressLevel.h"
#include "platform/FrontmostApplication.h"
#include "platform/LogCategories.h"
#include "settings/ControlSettings.h"
#include "settings/DisabledApplication.h"
#include "trackpad/GestureActivityPresenter.h"
#include "trackpad/TrackpadClickMonitor.h"
#include "trackpad/TypingActivityMonitor.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>

namespace glidra {

namespace {

// Edge slides still run while Option is held: it only makes steps finer.
constexpr std::uint64_t kEdgeRoutingModifiers = 0x80000;

// Keeps `table[device]` equal to the frame's contact identifiers, sorted and
// without duplicates, in the storage the table keeps.
void storeIdentifiers(DeviceTable<TrackpadController::ContactIdentifiers>& table, DeviceId device,
                      const std::vector<TouchPoint>& contacts) {
    if (contacts.empty()) {
        table.erase(device);
        return;
    }
    TrackpadController::ContactIdentifiers& ids = table[device];
    ids.clear();
    for (const TouchPoint& contact : contacts) {
        const auto at = std::lower_bound(ids.begin(), ids.end(), contact.id);
        if (at == ids.end() || *at != contact.id) ids.insert(at, contact.id);
    }
}

void clearTapMemory(MultiTouchRecognizer& recognizer) {
    recognizer.lastTapTime = -std::numeric_limits<double>::infinity();
    recognizer.lastTapCenter.reset();
    recognizer.lastTapFingers = 0;
    recognizer.tapCount = 0;
}

}  // namespace

// --- intake ------------------------------------------------------------------

void TrackpadController::contactFrameCallbackThunk(void* device, const TouchPoint* points, std::int32_t count,
                                                   std::uint64_t context, double timestamp) {
    contactFrameCallback(device, points, count, context, timestamp);
}

void TrackpadController::contactFrameCallback(void* device, const TouchPoint* points, std::int32_t count,
                                              std::uint64_t context, double timestamp) {
    if (QCoreApplication::instance() == nullptr) return;
    MainThreadInbox::shared().postFrame(
        [](const MainThreadInbox::Frame& frame) {
            deliverFrame(frame.context, frame.device, frame.contacts, frame.timestamp);
        },
        context, DeviceId(reinterpret_cast<quintptr>(device)), points, count, timestamp);
}

void TrackpadController::deliverFrame(std::uint64_t context, DeviceId device, const std::vector<TouchPoint>& contacts,
                                      double timestamp) {
    TrackpadController* controller = shared();
    // A frame queued before listening stopped belongs to an earlier
    // generation: its recognizers and sessions are gone.
    if (controller == nullptr || context != controller->generation_) return;
    controller->handleFrame(device, contacts, timestamp);
    if (lcInput().isDebugEnabled() && shared() == controller) controller->noteFrameLatency(timestamp);
}

void TrackpadController::noteFrameLatency(double timestamp) {
    const auto summary = frameLatency_.add(timestamp, environment_.clock.uptime());
    if (!summary) return;
    const auto milliseconds = [](double seconds) { return QString::number(seconds * 1000.0, 'f', 2); };
    qCDebug(lcInput).noquote() << "frame latency over the last minute (event time to handled):"
                               << "median" << milliseconds(summary->median) << "ms, worst"
                               << milliseconds(summary->worst) << "ms, over" << summary->frames << "frames";
}

// --- frame handler -------------------------------------------------------------

const TouchSurface& TrackpadController::surfaceOf(DeviceId device) const {
    static const TouchSurface unknown;
    const auto it = surfaces_.find(device);
    return it != surfaces_.end() ? it->second : unknown;
}

void TrackpadController::releasePointerLock(DeviceId device) { edgePointerLock_.release(device, false); }

void TrackpadController::handleFrame(DeviceId device, const std::vector<TouchPoint>& contacts, double timestamp) {
    const std::size_t n = contacts.size();

    // The fingers on a pad move the pointer: while the edge pointer lock
    // holds, that motion stays held, and once the steps have stopped coming
    // the lock lets go.
    if (n > 0) edgePointerLock_.handleMotion();
    if (!(n == 1 && settings_.locksPointerDuringEdgeAdjustments())) releasePointerLock(device);
    storeIdentifiers(screenshotLiveContacts_, device, contacts);

    if (isSelectingScreenshot_) {
        releasePointerLock(device);
        storeIdentifiers(screenshotSuppressedContacts_, device, contacts);
        return;
    }
    // Fingers that rested when a screenshot selection began stay ignored
    // until they lift, and the lift itself is not a gesture either.
    if (const auto suppressed = screenshotSuppressedContacts_.find(device);
        suppressed != screenshotSuppressedContacts_.end()) {
        if (n == 0) screenshotSuppressedContacts_.erase(suppressed);
        return;
    }

    if (!isEnabled_ || !isListening_ || isControlSuspended()) {
        releasePointerLock(device);
        return;
    }
    if (n > 0) setConnectionState(TrackpadConnectionState::active);

    const bool reportOnly = practiceMode_ || isLearningGesture_;
    // Asked on every frame: the answer also keeps the blocked devices.
    if (typingMonitor().shouldSuppress(device, n > 0) && !reportOnly) {
        releasePointerLock(device);
        setStatus(localized(GLIDRA_TEXT("打字防误触：已忽略本次接触")));
        return;
    }

    const std::optional<QString> frontApplication = environment_.frontmostApplication.bundleIdentifier();
    if (frontApplication != currentApplicationID_) {
        // A gesture must not carry over into another application; this frame
        // goes on against the emptied state and opens a new session.
        setCurrentApplicationID(frontApplication);
        resetGestureState();
    }
    if (!reportOnly && contains(settings_.disabledApplications(), frontApplication)) {
        setStatus(localized(GLIDRA_TEXT("当前应用已停用自定义手势")));
        return;
    }

    publishPressure(device, contacts, timestamp);

    if (n > 0 && !devices_.activeDevices.contains(device)) {
        cancelPendingTap(device);
        environment_.videoScrubber->reset();
        environment_.videoScrubber->setDevice(device);
        devices_.activeDevices.insert(device);
        devices_.contexts[device].reopen(environment_.frontmostApplication.bundleIdentifier(),
                                         heldModifierState(environment_.keyboard), isShowingApplicationSwitcher_,
                                         contacts, settings_.edgeWidth());
        devices_.edgeClaimed.erase(device);
        // Asked once a session: a device may come back with another pad
        // behind the same reference.
        float width = 0;
        float height = 0;
        const auto dimensions = glidraMTSurfaceDimensions(reinterpret_cast<void*>(device), &width, &height)
                                    ? std::optional(SurfaceDimensions{width, height})
                                    : std::nullopt;
        surfaces_.insert_or_assign(device, TouchSurface::of(dimensions));
    }
    const TouchSurface surface = surfaceOf(device);
    const auto open = devices_.contexts.find(device);
    if (open != devices_.contexts.end() && n > 0) open->second.recordContacts(contacts);
    if (n > 1) devices_.multiFingerDevices.insert(device);

    // A copy: a reset in any call-out below empties `contexts`. Into storage
    // kept for it, so the copy allocates nothing.
    static const GestureSessionContext noContext;
    frameContext_ = open != devices_.contexts.end() ? open->second : noContext;
    const GestureSessionContext& context = frameContext_;

    if (reportOnly) activity_->update(device, contacts, context.startCentroid());

    std::optional<GestureDescriptor> result;
    bool forcePressed = false;
    {
        MultiTouchRecognizer& recognizer = devices_.recognizers[device];
        recognizer.recognitionLevel = settings_.recognitionLevel();
        recognizer.surface = surface;
        result = recognizer.update(contacts, forcePressThreshold(device, n, context), timestamp);
        forcePressed = recognizer.forcePress.hasTriggered;
    }

    TrackpadClickMonitor& clicks = clickMonitor();
    const double clickTime = clicks.now();
    {
        TrackpadClickRecognizer& click = clicks.recognizers[device];
        click.update(contacts, clickTime, surface);
        if (forcePressed) {
            // A force click is not a physical click: the release must not
            // turn it into one.
            click.forcePressed = true;
            click.hasClaimedContactSession = true;
        }
    }
    if (n > 0) clicks.contexts.insert_or_assign(device, context);
    clicks.frameTimes.insert_or_assign(device, clickTime);

    if (forcePressed) {
        cancelPendingTap(device);
        environment_.videoScrubber->reset();
        if (result) handleRecognizedGesture(*result, context);
        return;
    }

    if (clicks.isPressed(device)) {
        // The physical click owns this session: nothing else of it counts,
        // and it must not count as the first tap of a double tap either.
        releasePointerLock(device);
        if (const auto it = devices_.recognizers.find(device); it != devices_.recognizers.end()) {
            if (it->second.startTime) it->second.cancelled = true;
            it->second.lastTapTime = -std::numeric_limits<double>::infinity();
        }
        cancelPendingTap(device);
        if (n == 0) liftCleanUp(device);
        return;
    }

    // Any other gesture supersedes a waiting tap.
    if (result && result->kind != GestureDescriptor::Kind::tap) cancelPendingTap(device);

    if (edgeRuleRegionHit(contacts, context, surface)) devices_.regionGestureDevices.insert(device);

    if (!environment_.executors.isMouseDragHeld()) {
        if (!isLearningGesture_ && !devices_.regionGestureDevices.contains(device) &&
            !devices_.liveVideoRules.contains(device) && (context.modifiers & ~kEdgeRoutingModifiers) == 0) {
            if (n == 1 && !devices_.multiFingerDevices.contains(device)) {
                routeEdgeGestures(device, contacts[0].id, true, contacts[0].x, contacts[0].y);
            } else {
                routeEdgeGestures(device, 0, false, 0, 0);
            }
        }
        if (!isLearningGesture_ && !isRecordingShortcut_ && !devices_.edgeClaimed.contains(device)) {
            updateVideoScrub(device, contacts, context);
            if (!devices_.videoClaimed.contains(device)) {
                updateTabSwipe(device, contacts, context, timestamp);
                updateContinuousTrackers(device, contacts, context);
            }
        }
    }

    if (result) {
        const bool claimed = devices_.edgeClaimed.contains(device) || devices_.videoClaimed.contains(device) ||
                             devices_.continuousClaimed.contains(device);
        if (claimed && !isLearningGesture_) {
            // The movement drove an edge slide or a tracker; it is not also
            // a gesture.
        } else if (result->kind == GestureDescriptor::Kind::tap) {
            cancelPendingTap(device);
            const double wait = practiceMode_ || isLearningGesture_
                                    ? kLearningTapWait
                                    : ruleIndex().tapDeferralInterval(result->fingers, result->tapCount, context);
            if (wait == 0) {
                if (const auto it = devices_.recognizers.find(device); it != devices_.recognizers.end()) {
                    clearTapMemory(it->second);
                }
                handleRecognizedGesture(*result, context);
            } else {
                holdTapBack(device, wait, *result, context);
            }
        } else {
            handleRecognizedGesture(*result, context);
        }
    }

    if (n == 0) liftCleanUp(device);
}

void TrackpadController::publishPressure(DeviceId device, const std::vector<TouchPoint>& contacts, double timestamp) {
    float framePeak = 0;
    for (const TouchPoint& contact : contacts) framePeak = std::max(framePeak, contact.pressure);
    devices_.devicePressure.insert_or_assign(device, framePeak);
    float overall = 0;
    for (const auto& [id, pressure] : devices_.devicePressure) overall = std::max(overall, pressure);
    if (overall > 0 && !hasPressureSignal_) {
        hasPressureSignal_ = true;
        Q_EMIT hasPressureSignalChanged();
    }
    if (overall >= pressureThreshold(ForcePressLevel::light) && !hasForcePressSignal_) {
        hasForcePressSignal_ = true;
        Q_EMIT hasForcePressSignalChanged();
    }
    // Raw maxima, no smoothing: at most every 0.05 s while fingers rest, and
    // at once when they lift.
    if (contacts.empty() || timestamp - lastPressureUpdate_ >= kPressurePublicationInterval) {
        const float ratio = overall / pressureThreshold(settings_.forcePressLevel());
        setPressureProgress(std::min(double(ratio), 1.0));
        lastPressureUpdate_ = timestamp;
    }
}

std::optional<float> TrackpadController::forcePressThreshold(DeviceId device, std::size_t fingers,
                                                             const GestureSessionContext& context) const {
    if (devices_.edgeClaimed.contains(device) || devices_.videoClaimed.contains(device) ||
        devices_.continuousClaimed.contains(device)) {
        return std::nullopt;
    }
    bool wanted = isLearningGesture_ || practiceMode_;
    if (!wanted) {
        // Force presses are looked for only when the rule that would win one
        // has an action: a resting hand must not turn into a press otherwise.
        GestureDescriptor press;
        press.kind = GestureDescriptor::Kind::forcePress;
        press.fingers = qint64(fingers);
        const GestureRule* winner = ruleIndex().bestMatch(press, context);
        wanted = winner != nullptr && winner->action != GestureAction::none;
    }
    if (!wanted) return std::nullopt;
    return pressureThreshold(settings_.forcePressLevel());
}

void TrackpadController::liftCleanUp(DeviceId device) {
    VideoScrubberService& scrubber = *environment_.videoScrubber;
    if (scrubber.device() == device) scrubber.markFinished();
    devices_.videoTrackers.erase(device);
    devices_.liveVideoRules.erase(device);
    devices_.videoClaimed.erase(device);
    devices_.tabClaimed.erase(device);
    devices_.tabTrackers.erase(device);
    devices_.continuousTrackers.erase(device);
    devices_.continuousClaimed.erase(device);
    devices_.multiFingerDevices.erase(device);
    devices_.activeDevices.erase(device);
    devices_.regionGestureDevices.erase(device);
    devices_.contexts.erase(device);
    devices_.edgeClaimed.erase(device);
}

// --- pending taps --------------------------------------------------------------

void TrackpadController::holdTapBack(DeviceId device, double wait, const GestureDescriptor& gesture,
                                     const GestureSessionContext& context) {
    DeviceState::PendingTap tap;
    tap.serial = nextPendingTapSerial_++;
    const CancellationToken token = tap.cancellation.token();
    QPointer<TrackpadController> self(this);
    tap.timer = environment_.scheduler.after(wait, this, [self, token, device, serial = tap.serial, gesture, context] {
        // Checked when the wait ends: a tap cancelled at that very
        // instant (a newer touch, a reset) must not fire.
        if (self && !token.isCancelled()) self->firePendingTap(device, serial, gesture, context);
    });
    devices_.pendingTaps.insert_or_assign(device, std::move(tap));
}

void TrackpadController::firePendingTap(DeviceId device, std::uint64_t serial, const GestureDescriptor& gesture,
                                        const GestureSessionContext& context) {
    if (const auto it = devices_.recognizers.find(device); it != devices_.recognizers.end()) {
        clearTapMemory(it->second);
    }
    handleRecognizedGesture(gesture, context);
    // Only this tap's own entry: the handler may have reset the state, and a
    // later tap of the device must keep waiting.
    if (const auto it = devices_.pendingTaps.find(device);
        it != devices_.pendingTaps.end() && it->second.serial == serial) {
        devices_.pendingTaps.erase(it);
    }
}

// --- notices -------------------------------------------------------------------

void TrackpadController::presentNotice(const HUDNotice& notice) {
    if (!isEnabled_ || !isListening_) return;
    setActionIssue(notice.kind == HUDNotice::Kind::error ? std::optional<QString>(notice.text) : std::nullopt);
    setStatus(notice.text);
    hud_->show(notice);
}

}  // namespace glidra
