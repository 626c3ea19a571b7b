#pragma once

#include "platform/InputEvent.h"
#include "platform/MouseButtonMonitor.h"
#include "trackpad/ConnectionEventLog.h"
#include "trackpad/ControllerServices.h"
#include "trackpad/TrackpadConnectionState.h"
#include "trackpad/TrackpadRecoveryPolicy.h"
#include "trackpad/TrackpadRecoveryScheduler.h"

#include <QMetaObject>
#include <QObject>
#include <QPoint>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace glidra {

class Clock;
class MultitouchDeviceRegistry;
class PointerPosition;
class Scheduler;
class SystemEvents;
class TrackpadController;
class TrackpadDeviceObserver;

// Keeps listening alive while control is on: across sleep and wake, devices
// arriving and leaving, a frame stream that stalls while the pointer still
// moves, and failed starts, which it retries with growing delays. A heartbeat
// every 2 s reports the connection state. It never touches the bridge: it
// acts only through the controller's callbacks, and writes every event to the
// connection event log. Main thread only.
class TrackpadListenerRecovery final : public ListenerRecoveryService {
public:
    struct Services {
        const Clock& clock;
        Scheduler& scheduler;
        SystemEvents& systemEvents;
        // Presses of the touchpad's own button: a sign of a finger on it.
        MouseButtonMonitor& mouseButtons;
        // Read only while a stall is suspected, each reading with the
        // bridge's frame count: it moving while the count stays is a stall.
        const PointerPosition& pointer;
        MultitouchDeviceRegistry& devices;
    };
    struct Callbacks {
        // May listening be restarted now.
        std::function<bool()> canReconnect;
        // Restart listening.
        std::function<void()> reconnect;
        // Stop listening.
        std::function<void()> suspend;
        // Publish the connection state.
        std::function<void(TrackpadConnectionState)> report;
    };

    // Starts nothing.
    TrackpadListenerRecovery(Services services, std::unique_ptr<ConnectionEventLog> eventLog, Callbacks callbacks);
    ~TrackpadListenerRecovery() override;

    TrackpadListenerRecovery(const TrackpadListenerRecovery&) = delete;
    TrackpadListenerRecovery& operator=(const TrackpadListenerRecovery&) = delete;

    // The controller's recovery: its callbacks hold the controller weakly,
    // and it logs to the user's connection event log.
    static std::unique_ptr<TrackpadListenerRecovery> forController(TrackpadController& controller, Services services);

    // Idempotent: stops first, then watches everything and starts the
    // heartbeat.
    void start() override;
    // Logs "stop" only when it was running.
    void stop() override;
    void manualReconnect() override;
    void reportListening(bool started) override;

    void deviceChanged();
    // Wake, screens wake, or the session active again.
    void handleWake();
    void handleWillSleep();
    void handleWillTerminate();
    // A button event as the monitors deliver it: a press of the touchpad's own
    // button while no frame arrives starts the stall check.
    void handleEvent(const InputEvent& event);
    void heartbeat();
    // Asked by the pending reconnect of a stall check: true when no frame
    // arrived since `frameCount` was read.
    bool confirmStall(std::uint64_t frameCount);

    bool isRunning() const { return running_; }
    bool isSleeping() const { return sleeping_; }
    bool isListening() const { return listening_; }
    int failures() const { return failures_; }
    const TrackpadRecoveryPolicy& policy() const { return policy_; }
    bool hasPendingReconnect() const { return scheduler_ && scheduler_->isPending(); }
    ConnectionEventLog& eventLog() const { return *eventLog_; }

    static constexpr double kHeartbeatInterval = 2.0;
    // A frame younger than this makes the connection active, else idle.
    static constexpr double kActiveFrameAge = 3.0;
    static constexpr double kHeartbeatReconnectDelay = 0.1;
    // No frame for this long while the pointer moves: perhaps a stall.
    static constexpr double kStallFrameAge = 0.8;
    static constexpr double kStallConfirmDelay = 0.6;
    // The system settles for this long after a wake.
    static constexpr double kSettleDelay = 0.7;
    // A device that arrives is ready to be read once it is announced; the
    // wait only gathers the announcements of one device's several nodes into
    // one restart, and is short, so that the first touch on a touchpad just
    // plugged in or reconnected counts.
    static constexpr double kDeviceSettleDelay = 0.1;
    // Failed starts retried after 2, 4 and 6 s; then by the heartbeat only.
    static constexpr int kScheduledRetries = 3;
    static constexpr double kRetryStep = 2.0;

private:
    void log(ConnectionLogEvent event);
    void report(TrackpadConnectionState state) const { callbacks_.report(state); }
    void scheduleHeartbeat();
    // A fresh start of the retries, a reconnect once things settle, and the
    // heartbeat held back meanwhile.
    void reconnectOnceSettled(double delay);
    // Whether the frames stay away long enough, and the rate limits allow, for
    // a stall check at `now`.
    bool stallSuspected(double now) const;
    void checkForStall();
    void samplePointer();
    TrackpadRecoveryScheduler& reconnectScheduler();
    TrackpadDeviceObserver& deviceObserver();
    // Everything start() set up, removed without a log line.
    void detach();

    Services services_;
    std::unique_ptr<ConnectionEventLog> eventLog_;
    Callbacks callbacks_;
    std::vector<QMetaObject::Connection> observers_;
    QMetaObject::Connection terminationObserver_;
    std::optional<MouseButtonMonitor::Token> localMonitor_;
    std::optional<MouseButtonMonitor::Token> globalMonitor_;
    TrackpadRecoveryPolicy policy_;
    int failures_ = 0;
    bool sleeping_ = false;
    bool listening_ = false;
    bool running_ = false;
    std::uint64_t heartbeatSerial_ = 0;
    TimerHandle heartbeatTask_;
    // The last reading of the pointer, and the bridge's frame count with it.
    std::optional<QPoint> lastPointer_;
    std::uint64_t lastFrameCount_ = 0;
    std::unique_ptr<TrackpadRecoveryScheduler> scheduler_;
    std::unique_ptr<TrackpadDeviceObserver> devices_;
    // Receives the system's events and the heartbeat; gone with the recovery.
    QObject lifetime_;
};

}  // namespace glidra
