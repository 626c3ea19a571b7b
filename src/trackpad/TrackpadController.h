#pragma once

#include "dispatch/ActionDispatchService.h"
#include "dispatch/AdjustmentHUD.h"
#include "dispatch/GestureActionTasks.h"
#include "gestures/ActionDistanceGate.h"
#include "gestures/ContinuousGestureTracker.h"
#include "gestures/GestureDescriptor.h"
#include "gestures/GestureRouter.h"
#include "gestures/GestureRule.h"
#include "gestures/GestureRuleIndex.h"
#include "gestures/GestureSessionContext.h"
#include "gestures/MultiTouchRecognizer.h"
#include "gestures/TabSwipeTracker.h"
#include "gestures/TouchPoint.h"
#include "gestures/TouchSurface.h"
#include "gestures/VideoScrubTracker.h"
#include "platform/Scheduler.h"
#include "trackpad/ControllerServices.h"
#include "trackpad/DeviceId.h"
#include "trackpad/DeviceTable.h"
#include "trackpad/EdgePointerLock.h"
#include "trackpad/FrameLatencyWindow.h"
#include "trackpad/TrackpadConnectionState.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace glidra {

class AccessibilityTrust;
class Clock;
class ControlSettings;
class FrontmostApplication;
class KeyEventMonitor;
class KeyboardState;
class MouseButtonMonitor;
class PointerControl;
class GestureActivityPresenter;
class TrackpadClickMonitor;
class TypingActivityMonitor;

// The one observable object that owns everything the trackpad engine keeps
// between frames: the switches the interface shows and sets, the outputs the
// views read, the per-device recognizer and tracker state, the owned helpers
// and the two counters that invalidate work in flight (`generation`,
// `actionEpoch`). Main thread only.
//
// Its behaviour is spread over files by topic: construction, setters and the
// gesture-state reset here; the frame path, gesture handling, edges and
// trackers, and switching and listening in files of their own.
class TrackpadController final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isEnabled READ isEnabled WRITE setEnabled NOTIFY isEnabledChanged)
    Q_PROPERTY(bool isListening READ isListening WRITE setListening NOTIFY isListeningChanged)
    Q_PROPERTY(glidra::TrackpadConnectionState connectionState READ connectionState WRITE setConnectionState NOTIFY
                   connectionStateChanged)
    Q_PROPERTY(bool practiceMode READ practiceMode WRITE setPracticeMode NOTIFY practiceModeChanged)
    Q_PROPERTY(
        bool isSettingUpGesture READ isSettingUpGesture WRITE setSettingUpGesture NOTIFY isSettingUpGestureChanged)
    Q_PROPERTY(bool isLearningGesture READ isLearningGesture WRITE setLearningGesture NOTIFY isLearningGestureChanged)
    Q_PROPERTY(std::optional<glidra::GestureDescriptor> learnedGesture READ learnedGesture WRITE setLearnedGesture
                   NOTIFY learnedGestureChanged)
    Q_PROPERTY(QString lastRecognizedGesture READ lastRecognizedGesture WRITE setLastRecognizedGesture NOTIFY
                   lastRecognizedGestureChanged)
    Q_PROPERTY(double pressureProgress READ pressureProgress WRITE setPressureProgress NOTIFY pressureProgressChanged)
    Q_PROPERTY(bool hasPressureSignal READ hasPressureSignal NOTIFY hasPressureSignalChanged)
    Q_PROPERTY(bool hasForcePressSignal READ hasForcePressSignal NOTIFY hasForcePressSignalChanged)
    Q_PROPERTY(std::optional<QString> actionIssue READ actionIssue WRITE setActionIssue NOTIFY actionIssueChanged)
    Q_PROPERTY(quint64 actionEpoch READ actionEpoch NOTIFY actionEpochChanged)
    Q_PROPERTY(std::optional<QString> currentApplicationID READ currentApplicationID WRITE setCurrentApplicationID
                   NOTIFY currentApplicationIDChanged)
    Q_PROPERTY(std::optional<QString> videoControlIssue READ videoControlIssue WRITE setVideoControlIssue NOTIFY
                   videoControlIssueChanged)
    Q_PROPERTY(quint64 generation READ generation NOTIFY generationChanged)
    Q_PROPERTY(
        bool isRequestingFeature READ isRequestingFeature WRITE setRequestingFeature NOTIFY isRequestingFeatureChanged)
    Q_PROPERTY(bool isReviewingConflicts READ isReviewingConflicts WRITE setReviewingConflicts NOTIFY
                   isReviewingConflictsChanged)
    Q_PROPERTY(bool isTransferringConfiguration READ isTransferringConfiguration WRITE setTransferringConfiguration
                   NOTIFY isTransferringConfigurationChanged)
    Q_PROPERTY(
        bool isRecordingShortcut READ isRecordingShortcut WRITE setRecordingShortcut NOTIFY isRecordingShortcutChanged)
    Q_PROPERTY(bool isShowingApplicationSwitcher READ isShowingApplicationSwitcher WRITE setShowingApplicationSwitcher
                   NOTIFY isShowingApplicationSwitcherChanged)
    Q_PROPERTY(bool isSelectingScreenshot READ isSelectingScreenshot WRITE setSelectingScreenshot NOTIFY
                   isSelectingScreenshotChanged)
    Q_PROPERTY(QString status READ status WRITE setStatus NOTIFY statusChanged)
    Q_PROPERTY(bool hasRestored READ hasRestored NOTIFY hasRestoredChanged)

public:
    // The system services and collaborators the controller works with. The
    // composition root hands in the real ones; tests the sim platform and
    // recording fakes. Everything referenced must outlive the controller.
    struct Environment {
        ControlSettings& settings;
        const Clock& clock;
        Scheduler& scheduler;
        KeyboardState& keyboard;
        FrontmostApplication& frontmostApplication;
        ExecutorServices& executors;
        // Carries out the bound actions; the action tasks await it.
        ActionDispatchService& dispatcher;
        AdjustmentHUDFactory makeHUD;
        // The pointer the edge pointer lock holds still.
        PointerControl& pointer;
        std::unique_ptr<VideoScrubberService> videoScrubber;
        std::unique_ptr<PairedTrackpadConnectorService> pairedTrackpadConnector;
        // Builds the listener recovery on first use.
        std::function<std::unique_ptr<ListenerRecoveryService>(TrackpadController&)> makeListenerRecovery;
        // Key-downs and button presses for the typing and click monitors, and
        // the trust the global key monitor needs.
        KeyEventMonitor& keyEvents;
        MouseButtonMonitor& mouseButtons;
        const AccessibilityTrust& accessibilityTrust;
    };

    // Builds its parts and starts nothing: no bridge, monitor, timer or
    // observer.
    explicit TrackpadController(Environment environment, QObject* parent = nullptr);
    ~TrackpadController() override;

    // The one controller the bridge's frame callback reaches; registered by
    // the composition root, tests make their own.
    static TrackpadController* shared();
    static void setShared(TrackpadController* controller);

    // --- switches and outputs ----------------------------------------------

    bool isEnabled() const { return isEnabled_; }
    void setEnabled(bool value);
    bool isListening() const { return isListening_; }
    void setListening(bool value);
    TrackpadConnectionState connectionState() const { return connectionState_; }
    void setConnectionState(TrackpadConnectionState value);
    std::optional<GestureDescriptor> learnedGesture() const { return learnedGesture_; }
    void setLearnedGesture(std::optional<GestureDescriptor> value);
    QString lastRecognizedGesture() const { return lastRecognizedGesture_; }
    void setLastRecognizedGesture(const QString& value);
    double pressureProgress() const { return pressureProgress_; }
    void setPressureProgress(double value);
    bool hasPressureSignal() const { return hasPressureSignal_; }
    // A device reported a pressure that reaches the lightest force-press
    // threshold: it senses force. The frame source keeps touchpads that
    // report only the contact's size below that threshold, so until one
    // does, no force press can fire. Never cleared.
    bool hasForcePressSignal() const { return hasForcePressSignal_; }
    std::optional<QString> actionIssue() const { return actionIssue_; }
    void setActionIssue(std::optional<QString> value);
    quint64 actionEpoch() const { return actionEpoch_; }
    std::optional<QString> currentApplicationID() const { return currentApplicationID_; }
    // Notifies only when the identifier differs (absent and present differ).
    void setCurrentApplicationID(std::optional<QString> value);
    std::optional<QString> videoControlIssue() const { return videoControlIssue_; }
    void setVideoControlIssue(std::optional<QString> value);
    quint64 generation() const { return generation_; }
    QString status() const { return status_; }
    void setStatus(const QString& value);
    bool hasRestored() const { return hasRestored_; }
    double lastPressureUpdate() const { return lastPressureUpdate_; }

    // Modal flags. Every assignment, also of an unchanged value, resets the
    // gesture state, so no gesture leaks across a change of mode.
    bool practiceMode() const { return practiceMode_; }
    void setPracticeMode(bool value);
    bool isSettingUpGesture() const { return isSettingUpGesture_; }
    void setSettingUpGesture(bool value);
    bool isLearningGesture() const { return isLearningGesture_; }
    void setLearningGesture(bool value);
    bool isRequestingFeature() const { return isRequestingFeature_; }
    void setRequestingFeature(bool value);
    bool isReviewingConflicts() const { return isReviewingConflicts_; }
    void setReviewingConflicts(bool value);
    bool isTransferringConfiguration() const { return isTransferringConfiguration_; }
    void setTransferringConfiguration(bool value);
    bool isRecordingShortcut() const { return isRecordingShortcut_; }
    void setRecordingShortcut(bool value);
    bool isShowingApplicationSwitcher() const { return isShowingApplicationSwitcher_; }
    void setShowingApplicationSwitcher(bool value);
    bool isSelectingScreenshot() const { return isSelectingScreenshot_; }
    // Entering the selection also keeps the fingers resting now ignored until
    // they lift.
    void setSelectingScreenshot(bool value);

    // --- gesture-state reset and suspension ---------------------------------

    // Throws away everything a half-finished gesture left behind and advances
    // `actionEpoch`, so action tasks in flight discard their results.
    void resetGestureState();
    // A modal piece of interface is open: frames and gestures are ignored.
    bool isControlSuspended() const;

    // --- owned helpers ------------------------------------------------------

    ControlSettings& settings() const { return settings_; }
    AdjustmentHUD& hud() const { return *hud_; }
    GestureActionTasks& actionTasks() { return actionTasks_; }
    GestureActivityPresenter& activity() const { return *activity_; }
    EdgePointerLock& edgePointerLock() { return edgePointerLock_; }
    const EdgePointerLock& edgePointerLock() const { return edgePointerLock_; }
    VideoScrubberService& videoScrubber() const { return *environment_.videoScrubber; }
    PairedTrackpadConnectorService& pairedTrackpadConnector() const { return *environment_.pairedTrackpadConnector; }
    ExecutorServices& executors() const { return environment_.executors; }

    // Built on first use and then kept.
    TypingActivityMonitor& typingMonitor();
    TrackpadClickMonitor& clickMonitor();
    ListenerRecoveryService& listenerRecovery();
    bool hasTypingMonitor() const { return typingMonitor_ != nullptr; }
    bool hasClickMonitor() const { return clickMonitor_ != nullptr; }
    bool hasListenerRecovery() const { return listenerRecovery_ != nullptr; }

    // --- per-device gesture state --------------------------------------------

    // Everything a gesture session leaves per device; emptied by every reset.
    // Plain tables: nothing outside the engine observes them.
    struct DeviceState {
        DeviceTable<TabSwipeTracker> tabTrackers;
        DeviceSet tabClaimed;
        DeviceTable<ContinuousGestureTracker> continuousTrackers;
        DeviceSet continuousClaimed;
        DeviceTable<VideoScrubTracker> videoTrackers;
        DeviceTable<GestureRule> liveVideoRules;
        DeviceSet videoClaimed;
        DeviceTable<MultiTouchRecognizer> recognizers;
        DeviceSet regionGestureDevices;
        DeviceSet multiFingerDevices;
        DeviceSet discreteDevices;
        DeviceTable<GestureSessionContext> contexts;
        // A tap held back for a possible further tap; cancelling the source
        // keeps it from firing, even at the instant its wait ends.
        struct PendingTap {
            std::uint64_t serial = 0;
            CancellationSource cancellation;
            TimerHandle timer;
        };
        std::map<DeviceId, PendingTap> pendingTaps;
        DeviceSet activeDevices;
        DeviceSet edgeClaimed;
        DeviceTable<GestureRouter> gestures;
        DeviceTable<ActionDistanceGate> actionDistanceGates;
        DeviceTable<qint32> contactIDs;
        DeviceTable<float> devicePressure;
    };
    const DeviceState& deviceState() const { return devices_; }
    // The size of the device's pad as its driver gave it when its latest
    // contact session opened; of unknown size before.
    const TouchSurface& surfaceOf(DeviceId device) const;

    // --- gestures -------------------------------------------------------------

    // Every recognised gesture ends here: dropped, captured for the rule
    // editor, reported in practice, or turned into its rule's action.
    void handleRecognizedGesture(const GestureDescriptor& gesture, const GestureSessionContext& context);
    // The click monitor's callback: a physical click is handled like a
    // recognised gesture while control is on and not suspended.
    void handleClick(const GestureDescriptor& gesture, const GestureSessionContext& context);

    // Contact identifiers per device, kept apart from the gesture state: the
    // window-screenshot selection ignores resting fingers until they lift.
    // Sorted, each identifier once.
    using ContactIdentifiers = std::vector<qint32>;
    const DeviceTable<ContactIdentifiers>& screenshotLiveContacts() const { return screenshotLiveContacts_; }
    const DeviceTable<ContactIdentifiers>& screenshotSuppressedContacts() const {
        return screenshotSuppressedContacts_;
    }

    // --- switching and listening ------------------------------------------------

    // Switches control on (typing monitor, recovery, listening) or off
    // (keyboard unlocked, paused, everything stopped) and remembers the choice
    // for the next launch.
    void toggleEnabled();
    // The user's reconnect request: restarts listening (or switches on), then
    // asks for the paired Bluetooth trackpad when still not listening.
    void reconnect();
    // Once per process: switches on when control was on at the last switch.
    void restoreIfNeeded();
    // A clean restart of the bridge under a new generation; nothing while
    // control is off.
    void startListening();
    // Stops everything listening started and invalidates work in flight.
    void stopListening();
    // Lets tests start from a generation near the 64-bit limit.
    friend struct TrackpadControllerListeningTestAccess;

    // --- frame path -------------------------------------------------------------

    // The handler given to the bridge. Runs on the framework's thread with the
    // bridge's mutex held, so it only copies the records and queues one
    // delivery to the main thread; it never touches controller state.
    static void contactFrameCallbackThunk(void* device, const TouchPoint* points, std::int32_t count,
                                          std::uint64_t context, double timestamp);
    static void contactFrameCallback(void* device, const TouchPoint* points, std::int32_t count, std::uint64_t context,
                                     double timestamp);
    // Main thread: hands the frame to the shared controller unless it belongs
    // to an earlier period of listening (`context` is the generation then).
    static void deliverFrame(std::uint64_t context, DeviceId device, const std::vector<TouchPoint>& contacts,
                             double timestamp);
    // One contact frame of one device: the gates, pressure, the session
    // context, the recognizers, edge and tracker routing, and the dispatch
    // of a recognised gesture (a tap may be held back for a further tap).
    void handleFrame(DeviceId device, const std::vector<TouchPoint>& contacts, double timestamp);
    // Shows an executor's result as the controller's own, while control is on.
    void presentNotice(const HUDNotice& notice);

    // --- running a bound action ---------------------------------------------------

    // Whether actions, adjustments and video scrubs may run now for a gesture
    // attributed to `application`: the keyboard unlocked, control on,
    // listening, not suspended, not practising or learning, no typing within
    // the typing window, the application not disabled. Silent.
    bool canPerformActions(const std::optional<QString>& application);
    // Runs the binding's action as a task of the registry, unless the gate
    // refuses; the task checks again, awaits the dispatcher and presents its
    // notice unless listening stopped, the gesture state was reset or the gate
    // closed meanwhile. `application` is the front application the gesture is
    // attributed to; the action runs only while it is still in front.
    void runBoundAction(const GestureBinding& binding, const std::optional<QString>& application);

    // --- edges, trackers and adjustments -------------------------------------------

    // Whether a one-finger rule with a trigger region already claims the
    // single finger of this frame, keeping the edge slides away from it.
    bool edgeRuleRegionHit(const std::vector<TouchPoint>& contacts, const GestureSessionContext& context,
                           const TouchSurface& surface) const;
    // One frame of the device's edge slide: `present` with the one contact's
    // identifier and position, or no usable contact. A slide on a bound edge
    // adjusts a level, scrubs the video or runs its action once far enough.
    void routeEdgeGestures(DeviceId device, qint32 contact, bool present, float x, float y);
    // A sideways slide of a scrubVideo rule seeks the browser's video while
    // the fingers move.
    void updateVideoScrub(DeviceId device, const std::vector<TouchPoint>& contacts,
                          const GestureSessionContext& context);
    // A sideways swipe of a tab rule switches tabs before the fingers lift.
    void updateTabSwipe(DeviceId device, const std::vector<TouchPoint>& contacts, const GestureSessionContext& context,
                        double timestamp);
    // Hands a signed scrub distance (positive forward) to the video scrubber.
    void scrubVideo(DeviceId device, double distance, const std::optional<QString>& application);
    // The scrubber's progress or error, for a session started for
    // `application`.
    void handleVideoUpdate(const VideoScrubberService::Update& update, const std::optional<QString>& application);
    // Applies one step of a continuous action (brightness, volume, keyboard
    // backlight) and shows the new level; `device` is given for edge slides,
    // which may hold the pointer still meanwhile.
    void performAdjustment(const GestureBinding& binding, std::optional<DeviceId> device, float step);
    // A multi-finger rule with a continuous action adjusts while its fingers
    // keep moving.
    void updateContinuousTrackers(DeviceId device, const std::vector<TouchPoint>& contacts,
                                  const GestureSessionContext& context);
    void engagePointerLockIfNeeded(std::optional<DeviceId> device);

    // Travel before an edge slide, a continuous tracker or a video slide
    // starts, by recognition level.
    static float activationDistance(GestureRecognitionLevel level);
    // Steps while either Alt key is held are this fraction as large.
    static constexpr float kFineControlFactor = 0.3f;

    // One line on what the controller is doing, for the menu and the window.
    QString menuStatusText() const;
    // Shows a notice at the HUD position the user just chose.
    void previewHintPosition();
    // The application's version, "unknown" when it has none.
    static QString bundleBuildVersion();

    static constexpr double kLearningTapWait = 0.4;
    static constexpr double kPressurePublicationInterval = 0.05;

private:
    // What an action task captures when it is started.
    struct ActionRun {
        QPointer<TrackpadController> controller;
        std::optional<QString> application;
        quint64 generation = 0;
        quint64 actionEpoch = 0;
        GestureBinding binding;
    };
    static QCoro::Task<void> performBoundAction(ActionRun run, CancellationToken token);
    // The gate, the generation and the epoch are still those of the run.
    bool isActionRunCurrent(const ActionRun& run);
    // canPerformActions, letting the keyboard-lock toggle through a plain lock.
    bool passesActionGate(const std::optional<QString>& application, std::optional<GestureAction> action);

    void firePendingTap(DeviceId device, std::uint64_t serial, const GestureDescriptor& gesture,
                        const GestureSessionContext& context);
    void holdTapBack(DeviceId device, double wait, const GestureDescriptor& gesture,
                     const GestureSessionContext& context);
    void liftCleanUp(DeviceId device);
    void noteFrameLatency(double timestamp);
    void publishPressure(DeviceId device, const std::vector<TouchPoint>& contacts, double timestamp);
    std::optional<float> forcePressThreshold(DeviceId device, std::size_t fingers,
                                             const GestureSessionContext& context) const;
    void releasePointerLock(DeviceId device);
    // The activation distance of the edge router: the level's, lowered to the
    // shortest slide a one-shot edge binding asks for.
    float edgeActivationDistance() const;
    float fineControlFactor() const;
    // The settings' rules filed for lookups: a frame reads only the rules
    // that can take its gesture, however many there are.
    const GestureRuleIndex& ruleIndex() const;

Q_SIGNALS:
    void isEnabledChanged();
    void isListeningChanged();
    void connectionStateChanged();
    void practiceModeChanged();
    void isSettingUpGestureChanged();
    void isLearningGestureChanged();
    void learnedGestureChanged();
    void lastRecognizedGestureChanged();
    void pressureProgressChanged();
    void hasPressureSignalChanged();
    void hasForcePressSignalChanged();
    void actionIssueChanged();
    void actionEpochChanged();
    void currentApplicationIDChanged();
    void videoControlIssueChanged();
    void generationChanged();
    void isRequestingFeatureChanged();
    void isReviewingConflictsChanged();
    void isTransferringConfigurationChanged();
    void isRecordingShortcutChanged();
    void isShowingApplicationSwitcherChanged();
    void isSelectingScreenshotChanged();
    void statusChanged();
    void hasRestoredChanged();
    // Every recognised gesture that reaches the gesture handler, before any
    // gate, and a tab swipe or continuous adjustment when its tracker claims
    // the touch (such a touch is no gesture at the lift); observers (the
    // replay tool) see what the engine recognised.
    void gestureRecognized(const glidra::GestureDescriptor& gesture);

private:
    friend struct TrackpadControllerTestAccess;

    // Stores a flag and resets the gesture state on every assignment.
    void setModalFlag(bool& flag, bool value, void (TrackpadController::*changed)());
    // Removes the device's pending tap and cancels it, if there is one.
    void cancelPendingTap(DeviceId device);
    void blockTypingDevices();
    void advanceGeneration();

    Environment environment_;
    ControlSettings& settings_;

    bool isEnabled_ = false;
    bool isListening_ = false;
    TrackpadConnectionState connectionState_ = TrackpadConnectionState::paused;
    bool practiceMode_ = false;
    bool isSettingUpGesture_ = false;
    bool isLearningGesture_ = false;
    std::optional<GestureDescriptor> learnedGesture_;
    QString lastRecognizedGesture_;
    double pressureProgress_ = 0;
    bool hasPressureSignal_ = false;
    bool hasForcePressSignal_ = false;
    double lastPressureUpdate_ = -std::numeric_limits<double>::infinity();
    std::optional<QString> actionIssue_;
    quint64 actionEpoch_ = 0;
    std::optional<QString> currentApplicationID_;
    std::optional<QString> videoControlIssue_;
    quint64 generation_ = 0;
    bool isRequestingFeature_ = false;
    bool isReviewingConflicts_ = false;
    bool isTransferringConfiguration_ = false;
    bool isRecordingShortcut_ = false;
    bool isShowingApplicationSwitcher_ = false;
    bool isSelectingScreenshot_ = false;
    QString status_;
    bool hasRestored_ = false;

    DeviceState devices_;
    // Not gesture state: what the devices say of themselves outlives resets.
    std::map<DeviceId, TouchSurface> surfaces_;
    std::uint64_t nextPendingTapSerial_ = 1;
    DeviceTable<ContactIdentifiers> screenshotLiveContacts_;
    DeviceTable<ContactIdentifiers> screenshotSuppressedContacts_;
    // The frame handler's copy of the session context.
    GestureSessionContext frameContext_;
    // Derived from the settings when first needed after they change.
    mutable GestureRuleIndex ruleIndex_;
    mutable std::optional<float> edgeActivationDistance_;
    // The live frames' latency, logged once a minute when the input
    // category's debug lines are on.
    FrameLatencyWindow frameLatency_;

    std::unique_ptr<GestureActivityPresenter> activity_;
    std::unique_ptr<AdjustmentHUD> hud_;
    GestureActionTasks actionTasks_;
    std::unique_ptr<TypingActivityMonitor> typingMonitor_;
    std::unique_ptr<TrackpadClickMonitor> clickMonitor_;
    std::unique_ptr<ListenerRecoveryService> listenerRecovery_;
    EdgePointerLock edgePointerLock_;
};

}  // namespace glidra
