#include "trackpad/TrackpadListenerRecovery.h"

#include "bridge/MultitouchBridge.h"
#include "common/Localized.h"
#include "platform/Clock.h"
#include "platform/LogCategories.h"
#include "platform/MultitouchDeviceRegistry.h"
#include "platform/PointerPosition.h"
#include "platform/Scheduler.h"
#include "platform/SystemEvents.h"
#include "trackpad/TrackpadController.h"
#include "trackpad/TrackpadDeviceObserver.h"

#include <QPointer>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

namespace glidra {

namespace {

// Why listening found no touchpad to listen to, from what the system says of
// its devices, and what comes next.
QString listeningFailure(const MultitouchDeviceRegistry& devices) {
    QStringList refused;
    for (const auto& device : devices.unreadableDevices()) {
        QString line = QStringLiteral("cannot open %1 (%2): %3")
                           .arg(QString::fromStdString(device.node), QString::fromStdString(device.name),
                                QString::fromLocal8Bit(std::strerror(device.error)));
        if (device.error == EACCES || device.error == EPERM) {
            line += QStringLiteral(" (the touchpad access is missing: see the input-access udev rules)");
        }
        refused << line;
    }
    const QString prefix = QStringLiteral("cannot start listening to a touchpad: ");
    const QString retry = QStringLiteral("; trying again");
    if (!refused.isEmpty()) return prefix + refused.join(QStringLiteral("; ")) + retry;
    const std::optional<bool> present = devices.anyDevicePresent();
    if (!present) return prefix + QStringLiteral("the input devices cannot be listed (no udev, or no /sys)") + retry;
    if (!*present) return prefix + QStringLiteral("no touchpad found; listening starts when one is connected");
    return prefix + QStringLiteral("the touchpad did not start") + retry;
}

}  // namespace

TrackpadListenerRecovery::TrackpadListenerRecovery(Services services, std::unique_ptr<ConnectionEventLog> eventLog,
                                                   Callbacks callbacks)
    : services_(services), eventLog_(std::move(eventLog)), callbacks_(std::move(callbacks)) {
    policy_.startedAt = services_.clock.uptime();
}

TrackpadListenerRecovery::~TrackpadListenerRecovery() { detach(); }

std::unique_ptr<TrackpadListenerRecovery> TrackpadListenerRecovery::forController(TrackpadController& controller,
                                                                                  Services services) {
    auto eventLog =
        std::make_unique<ConnectionEventLog>(ConnectionEventLog::defaultLocation(), ConnectionEventLog::kMaximumBytes,
                                             TrackpadController::bundleBuildVersion());
    const QPointer<TrackpadController> weak(&controller);
    return std::make_unique<TrackpadListenerRecovery>(
        services, std::move(eventLog),
        Callbacks{
            [weak] { return weak && weak->isEnabled() && !weak->isControlSuspended(); },
            [weak] {
                if (weak) weak->startListening();
            },
            [weak] {
                if (!weak) return;
                weak->stopListening();
                // Listening stopped under the user's feet (sleep, a vanished
                // trackpad): the status must stop saying it is connected.
                if (weak->isEnabled()) {
                    weak->setStatus(localized(GLIDRA_TEXT("等待触控板连接，将自动重试；也可手动重新连接。")));
                }
            },
            [weak](TrackpadConnectionState state) {
                if (weak) weak->setConnectionState(state);
            },
        });
}

// --- start and stop ------------------------------------------------------------

void TrackpadListenerRecovery::start() {
    stop();
    log(ConnectionLogEvent::start);
    failures_ = 0;
    sleeping_ = false;
    policy_.startedAt = services_.clock.uptime();
    policy_.lastAttempt = -std::numeric_limits<double>::infinity();

    SystemEvents& events = services_.systemEvents;
    const auto wake = [this] { handleWake(); };
    observers_.push_back(QObject::connect(&events, &SystemEvents::didWake, &lifetime_, wake));
    observers_.push_back(QObject::connect(&events, &SystemEvents::screensDidWake, &lifetime_, wake));
    observers_.push_back(QObject::connect(&events, &SystemEvents::sessionDidBecomeActive, &lifetime_, wake));
    observers_.push_back(
        QObject::connect(&events, &SystemEvents::willSleep, &lifetime_, [this] { handleWillSleep(); }));
    terminationObserver_ =
        QObject::connect(&events, &SystemEvents::willTerminate, &lifetime_, [this] { handleWillTerminate(); });

    const auto pointerEvent = [this](const InputEvent& event) { handleEvent(event); };
    globalMonitor_ = services_.mouseButtons.addGlobalMonitor(pointerEvent);
    localMonitor_ = services_.mouseButtons.addLocalMonitor(pointerEvent);

    deviceObserver().start();

    running_ = true;
    ++heartbeatSerial_;
    scheduleHeartbeat();
}

void TrackpadListenerRecovery::stop() {
    if (running_) log(ConnectionLogEvent::stop);
    detach();
}

void TrackpadListenerRecovery::detach() {
    running_ = false;
    heartbeatTask_.cancel();
    heartbeatTask_ = TimerHandle();
    if (scheduler_) scheduler_->cancel();
    if (devices_) devices_->stop();
    for (const auto& observer : observers_) QObject::disconnect(observer);
    observers_.clear();
    QObject::disconnect(terminationObserver_);
    terminationObserver_ = {};
    if (localMonitor_) services_.mouseButtons.removeMonitor(*localMonitor_);
    localMonitor_.reset();
    if (globalMonitor_) services_.mouseButtons.removeMonitor(*globalMonitor_);
    globalMonitor_.reset();
    lastPointer_.reset();
}

void TrackpadListenerRecovery::scheduleHeartbeat() {
    const std::uint64_t serial = heartbeatSerial_;
    heartbeatTask_ = services_.scheduler.after(kHeartbeatInterval, &lifetime_, [this, serial] {
        if (!running_ || serial != heartbeatSerial_) return;
        heartbeat();
        // A stop, or a start that began a loop of its own, ends this one.
        if (running_ && serial == heartbeatSerial_) scheduleHeartbeat();
    });
}

// --- what the controller reports and asks ------------------------------------

void TrackpadListenerRecovery::manualReconnect() {
    log(ConnectionLogEvent::manualReconnect);
    if (scheduler_) scheduler_->cancel();
    failures_ = 0;
    policy_.lastAttempt = services_.clock.uptime();
}

void TrackpadListenerRecovery::reportListening(bool started) {
    listening_ = started;
    log(started ? ConnectionLogEvent::connected : ConnectionLogEvent::connectionFailed);
    report(started ? TrackpadConnectionState::idle : TrackpadConnectionState::reconnecting);
    if (started) {
        failures_ = 0;
        return;
    }
    ++failures_;
    if (failures_ <= kScheduledRetries) {
        reconnectScheduler().schedule(double(failures_) * kRetryStep, [] { return true; });
    }
}

// --- system events ---------------------------------------------------------------

void TrackpadListenerRecovery::deviceChanged() {
    log(ConnectionLogEvent::deviceChanged);
    reconnectOnceSettled(kDeviceSettleDelay);
}

void TrackpadListenerRecovery::handleWake() {
    log(ConnectionLogEvent::wake);
    sleeping_ = false;
    reconnectOnceSettled(kSettleDelay);
}

void TrackpadListenerRecovery::reconnectOnceSettled(double delay) {
    failures_ = 0;
    policy_.lastAttempt = services_.clock.uptime();
    report(TrackpadConnectionState::reconnecting);
    reconnectScheduler().schedule(delay, [] { return true; });
}

void TrackpadListenerRecovery::handleWillSleep() {
    log(ConnectionLogEvent::sleep);
    sleeping_ = true;
    listening_ = false;
    report(TrackpadConnectionState::reconnecting);
    if (scheduler_) scheduler_->cancel();
    // Listening ends before the machine sleeps.
    callbacks_.suspend();
}

void TrackpadListenerRecovery::handleWillTerminate() {
    stop();
    callbacks_.suspend();
}

// --- heartbeat -------------------------------------------------------------------

void TrackpadListenerRecovery::heartbeat() {
    if (sleeping_) return;
    const bool present = TrackpadDeviceObserver::hasDevice(services_.devices);
    if (!present && listening_) {
        log(ConnectionLogEvent::deviceMissing);
        listening_ = false;
        callbacks_.suspend();
    }

    if (!present) {
        report(TrackpadConnectionState::disconnected);
    } else if (listening_) {
        // Not a number counts as old.
        report(glidraMTSecondsSinceLastFrame() < kActiveFrameAge ? TrackpadConnectionState::active
                                                                 : TrackpadConnectionState::idle);
    } else {
        report(TrackpadConnectionState::reconnecting);
    }

    if (present && !listening_ && callbacks_.canReconnect()) {
        const double now = services_.clock.uptime();
        if (std::isfinite(now) && policy_.allowsAttempt(now)) {
            policy_.lastAttempt = now;
            reconnectScheduler().schedule(kHeartbeatReconnectDelay, [] { return true; });
        }
    }

    samplePointer();
}

// --- stall detection ---------------------------------------------------------------

bool TrackpadListenerRecovery::stallSuspected(double now) const {
    return callbacks_.canReconnect() && std::isfinite(now) && policy_.allowsAttempt(now) &&
           glidraMTSecondsSinceLastFrame() >= kStallFrameAge;
}

void TrackpadListenerRecovery::handleEvent(const InputEvent& event) {
    if (sleeping_) return;
    if (event.type != InputEvent::Type::leftMouseDown && event.type != InputEvent::Type::rightMouseDown) return;
    // Only the user's hardware, and only the touchpad's own button.
    if (event.origin != EventOrigin::hardware || event.sourceProcessId != 0) return;
    if (!event.isTouchSubtype) return;
    checkForStall();
}

void TrackpadListenerRecovery::samplePointer() {
    // The pointer is read only while listening and the frames stay away long
    // enough for a stall: between two such readings, a pointer that moved
    // while no frame came is what a finger on a stalled touchpad does. One
    // that moved while frames came was an ordinary touch that has ended.
    if (!listening_ || !stallSuspected(services_.clock.uptime())) {
        lastPointer_.reset();
        return;
    }
    const std::optional<QPoint> position = services_.pointer.position();
    // Read after the pointer, so a frame that moved the one reaches the other.
    const std::uint64_t frameCount = glidraMTFrameCount();
    const bool stalled = position && lastPointer_ && *position != *lastPointer_ && frameCount == lastFrameCount_;
    lastPointer_ = position;
    lastFrameCount_ = frameCount;
    if (stalled) checkForStall();
}

void TrackpadListenerRecovery::checkForStall() {
    if (!stallSuspected(services_.clock.uptime())) return;
    const std::uint64_t count = glidraMTFrameCount();
    policy_.lastAttempt = services_.clock.uptime();
    reconnectScheduler().schedule(kStallConfirmDelay, [this, count] { return confirmStall(count); });
}

bool TrackpadListenerRecovery::confirmStall(std::uint64_t frameCount) {
    // Frames came meanwhile: the stream is alive.
    if (glidraMTFrameCount() != frameCount) return false;
    log(ConnectionLogEvent::streamStall);
    report(TrackpadConnectionState::reconnecting);
    return true;
}

// --- helpers ---------------------------------------------------------------------

void TrackpadListenerRecovery::log(ConnectionLogEvent event) {
    eventLog_->record(event, listening_, services_.clock.currentDateTimeUtc());
    // The input devices' own lines say which device failed and why.
    switch (event) {
        case ConnectionLogEvent::connectionFailed:
            // Retries that fail the same way tell nothing new.
            if (failures_ == 0) {
                qCWarning(lcRecovery).noquote() << listeningFailure(services_.devices);
            } else {
                qCDebug(lcRecovery) << "listening failed again, attempt" << failures_ + 1;
            }
            break;
        case ConnectionLogEvent::deviceMissing:
            qCWarning(lcRecovery) << "no touchpad any more while listening";
            break;
        case ConnectionLogEvent::streamStall:
            qCWarning(lcRecovery) << "the touchpad's frames stopped while the pointer moved; reconnecting";
            break;
        case ConnectionLogEvent::connected:
            if (failures_ > 0) qCInfo(lcRecovery) << "listening to the touchpad again";
            qCDebug(lcRecovery) << "listening started";
            break;
        default:
            qCDebug(lcRecovery).noquote() << "connection event" << enumRaw(event);
            break;
    }
}

TrackpadRecoveryScheduler& TrackpadListenerRecovery::reconnectScheduler() {
    if (!scheduler_) {
        scheduler_ = std::make_unique<TrackpadRecoveryScheduler>(
            services_.scheduler, [this] { return callbacks_.canReconnect() && !sleeping_; },
            [this] { callbacks_.reconnect(); });
    }
    return *scheduler_;
}

TrackpadDeviceObserver& TrackpadListenerRecovery::deviceObserver() {
    if (!devices_) devices_ = std::make_unique<TrackpadDeviceObserver>(services_.devices, [this] { deviceChanged(); });
    return *devices_;
}

}  // namespace glidra
