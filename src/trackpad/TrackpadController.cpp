#include "trackpad/TrackpadController.h"

#include "common/Localized.h"
#include "common/MainThreadInbox.h"
#include "platform/Clock.h"
#include "settings/ControlSettings.h"
#include "trackpad/GestureActivityPresenter.h"
#include "trackpad/TrackpadClickMonitor.h"
#include "trackpad/TypingActivityMonitor.h"

#include <QCoreApplication>
#include <QPointer>

namespace glidra {

namespace {
TrackpadController* sharedController = nullptr;
}

TrackpadController::TrackpadController(Environment environment, QObject* parent)
    : QObject(parent),
      environment_(std::move(environment)),
      settings_(environment_.settings),
      lastRecognizedGesture_(localized(GLIDRA_TEXT("尚未识别手势"))),
      status_(localized(GLIDRA_TEXT("点击启用后，在触控板上操作。"))),
      activity_(std::make_unique<GestureActivityPresenter>(environment_.clock)),
      edgePointerLock_(environment_.pointer, environment_.clock) {
    // Every HUD reads the settings afresh at each presentation.
    ControlSettings* settings = &settings_;
    hud_ = environment_.makeHUD(AdjustmentHUDSettings{
        [settings] { return settings->showOperationHints(); },
        [settings] { return settings->operationHintPosition(); },
    });
    // Made here, on the main thread, before the driver's thread posts frames.
    MainThreadInbox::shared();
    // What the frames derive from the settings is derived again after a
    // change, at its next use.
    connect(settings, &ControlSettings::rulesChanged, this, [this] { ruleIndex_ = GestureRuleIndex(); });
    const auto edgesChanged = [this] { edgeActivationDistance_.reset(); };
    connect(settings, &ControlSettings::bindingsChanged, this, edgesChanged);
    connect(settings, &ControlSettings::recognitionLevelChanged, this, edgesChanged);
}

const GestureRuleIndex& TrackpadController::ruleIndex() const {
    // Also rebuilt when the list was replaced by an equal one: the index
    // refers to the list's storage.
    if (!ruleIndex_.covers(settings_.rules())) ruleIndex_ = GestureRuleIndex(settings_.rules());
    return ruleIndex_;
}

TrackpadController::~TrackpadController() {
    if (sharedController == this) sharedController = nullptr;
}

TrackpadController* TrackpadController::shared() { return sharedController; }

void TrackpadController::setShared(TrackpadController* controller) { sharedController = controller; }

// --- setters -------------------------------------------------------------------

namespace {

template <typename T>
bool assign(T& stored, T value) {
    if (stored == value) return false;
    stored = std::move(value);
    return true;
}

}  // namespace

void TrackpadController::setEnabled(bool value) {
    if (assign(isEnabled_, value)) Q_EMIT isEnabledChanged();
}

void TrackpadController::setListening(bool value) {
    if (assign(isListening_, value)) Q_EMIT isListeningChanged();
}

void TrackpadController::setConnectionState(TrackpadConnectionState value) {
    if (assign(connectionState_, value)) Q_EMIT connectionStateChanged();
}

void TrackpadController::setLearnedGesture(std::optional<GestureDescriptor> value) {
    if (assign(learnedGesture_, std::move(value))) Q_EMIT learnedGestureChanged();
}

void TrackpadController::setLastRecognizedGesture(const QString& value) {
    if (assign(lastRecognizedGesture_, value)) Q_EMIT lastRecognizedGestureChanged();
}

void TrackpadController::setPressureProgress(double value) {
    if (assign(pressureProgress_, value)) Q_EMIT pressureProgressChanged();
}

void TrackpadController::setActionIssue(std::optional<QString> value) {
    if (assign(actionIssue_, std::move(value))) Q_EMIT actionIssueChanged();
}

void TrackpadController::setCurrentApplicationID(std::optional<QString> value) {
    if (assign(currentApplicationID_, std::move(value))) Q_EMIT currentApplicationIDChanged();
}

void TrackpadController::setVideoControlIssue(std::optional<QString> value) {
    if (assign(videoControlIssue_, std::move(value))) Q_EMIT videoControlIssueChanged();
}

void TrackpadController::setStatus(const QString& value) {
    if (assign(status_, value)) Q_EMIT statusChanged();
}

void TrackpadController::setModalFlag(bool& flag, bool value, void (TrackpadController::*changed)()) {
    if (assign(flag, value)) Q_EMIT(this->*changed)();
    resetGestureState();
}

void TrackpadController::setPracticeMode(bool value) {
    setModalFlag(practiceMode_, value, &TrackpadController::practiceModeChanged);
}

void TrackpadController::setSettingUpGesture(bool value) {
    setModalFlag(isSettingUpGesture_, value, &TrackpadController::isSettingUpGestureChanged);
}

void TrackpadController::setLearningGesture(bool value) {
    setModalFlag(isLearningGesture_, value, &TrackpadController::isLearningGestureChanged);
}

void TrackpadController::setRequestingFeature(bool value) {
    setModalFlag(isRequestingFeature_, value, &TrackpadController::isRequestingFeatureChanged);
}

void TrackpadController::setReviewingConflicts(bool value) {
    setModalFlag(isReviewingConflicts_, value, &TrackpadController::isReviewingConflictsChanged);
}

void TrackpadController::setTransferringConfiguration(bool value) {
    setModalFlag(isTransferringConfiguration_, value, &TrackpadController::isTransferringConfigurationChanged);
}

void TrackpadController::setRecordingShortcut(bool value) {
    setModalFlag(isRecordingShortcut_, value, &TrackpadController::isRecordingShortcutChanged);
}

void TrackpadController::setShowingApplicationSwitcher(bool value) {
    setModalFlag(isShowingApplicationSwitcher_, value, &TrackpadController::isShowingApplicationSwitcherChanged);
}

void TrackpadController::setSelectingScreenshot(bool value) {
    if (assign(isSelectingScreenshot_, value)) Q_EMIT isSelectingScreenshotChanged();
    // Fingers resting when the selection starts stay ignored until they lift.
    if (isSelectingScreenshot_) screenshotSuppressedContacts_ = screenshotLiveContacts_;
    resetGestureState();
}

// --- reset and suspension ----------------------------------------------------

void TrackpadController::resetGestureState() {
    // Forced: whichever device holds the lock, it ends here.
    edgePointerLock_.release(std::nullopt, true);
    actionTasks_.cancelAll();
    ++actionEpoch_;  // unsigned: wraps at the 64-bit limit
    Q_EMIT actionEpochChanged();
    activity_->clear();
    devices_.tabClaimed.clear();
    devices_.tabTrackers.clear();
    devices_.continuousTrackers.clear();
    devices_.continuousClaimed.clear();
    environment_.executors.resetKeyboardBacklightStepper();
    environment_.executors.releaseMouseDrag();
    environment_.executors.resetMouseClickSequence();
    clickMonitor().reset();
    environment_.videoScrubber->reset();
    devices_.videoTrackers.clear();
    devices_.liveVideoRules.clear();
    devices_.videoClaimed.clear();
    for (auto& [device, tap] : devices_.pendingTaps) {
        tap.cancellation.cancel();
        tap.timer.cancel();
    }
    devices_.pendingTaps.clear();
    devices_.recognizers.clear();
    devices_.regionGestureDevices.clear();
    devices_.contexts.clear();
    devices_.activeDevices.clear();
    devices_.edgeClaimed.clear();
    devices_.multiFingerDevices.clear();
    devices_.gestures.clear();
    devices_.actionDistanceGates.clear();
    devices_.discreteDevices.clear();
    devices_.contactIDs.clear();
    devices_.devicePressure.clear();
    setPressureProgress(0);
    lastPressureUpdate_ = -std::numeric_limits<double>::infinity();
}

bool TrackpadController::isControlSuspended() const {
    if (isRequestingFeature_ || isReviewingConflicts_ || isTransferringConfiguration_ || isSelectingScreenshot_ ||
        isRecordingShortcut_) {
        return true;
    }
    return isSettingUpGesture_ && !isLearningGesture_;
}

void TrackpadController::cancelPendingTap(DeviceId device) {
    const auto it = devices_.pendingTaps.find(device);
    if (it == devices_.pendingTaps.end()) return;
    it->second.cancellation.cancel();
    it->second.timer.cancel();
    devices_.pendingTaps.erase(it);
}

void TrackpadController::advanceGeneration() {
    ++generation_;  // unsigned: wraps at the 64-bit limit
    Q_EMIT generationChanged();
}

// --- helpers built on first use ----------------------------------------------

TypingActivityMonitor& TrackpadController::typingMonitor() {
    if (!typingMonitor_) {
        QPointer<TrackpadController> self(this);
        typingMonitor_ = std::make_unique<TypingActivityMonitor>(
            environment_.clock, environment_.keyEvents, environment_.accessibilityTrust,
            QCoreApplication::applicationPid(), [self] { return self && self->settings_.typingProtectionEnabled(); },
            [self] {
                if (self) self->blockTypingDevices();
            });
    }
    return *typingMonitor_;
}

void TrackpadController::blockTypingDevices() {
    if (practiceMode_ || isLearningGesture_) return;
    for (DeviceId device : devices_.activeDevices) typingMonitor_->blockDevice(device);
    resetGestureState();
}

TrackpadClickMonitor& TrackpadController::clickMonitor() {
    if (!clickMonitor_) {
        QPointer<TrackpadController> self(this);
        const Clock* clock = &environment_.clock;
        ExecutorServices* executors = &environment_.executors;
        clickMonitor_ = std::make_unique<TrackpadClickMonitor>(
            TrackpadClickMonitor::Services{environment_.mouseButtons, environment_.scheduler,
                                           QCoreApplication::applicationPid(),
                                           [executors] { executors->resetMouseClickSequence(); }},
            [clock] { return clock->uptime(); },
            [self](const GestureDescriptor& gesture, const GestureSessionContext& context) {
                if (self) self->handleClick(gesture, context);
            });
    }
    return *clickMonitor_;
}

ListenerRecoveryService& TrackpadController::listenerRecovery() {
    if (!listenerRecovery_) listenerRecovery_ = environment_.makeListenerRecovery(*this);
    return *listenerRecovery_;
}

}  // namespace glidra
