#pragma once

#include "executors/BrowserVideoControlling.h"
#include "platform/Cancellation.h"
#include "trackpad/ControllerServices.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

namespace glidra {

class Scheduler;

// Moves the playback position of the video in the front browser tab while
// fingers slide sideways: gathers the slide's steps and drives one scrub
// session through the bridge, turning the gathered distance into a seek at
// most every loopPacing seconds and closing the session once the fingers
// have lifted. Main thread only.
class BrowserVideoScrubber final : public QObject, public VideoScrubberService {
    Q_OBJECT

public:
    BrowserVideoScrubber(BrowserVideoControlling& bridge, std::function<std::optional<QString>()> currentApplication,
                         Scheduler& scheduler, QObject* parent = nullptr);
    ~BrowserVideoScrubber() override;

    // VideoScrubberService
    void reset() override;
    std::optional<DeviceId> device() const override { return device_; }
    void setDevice(std::optional<DeviceId> device) override { device_ = device; }
    void markFinished() override { finished_ = true; }
    // `distance` is already scaled by the caller's speed; `bundleIdentifier`
    // is the front application's at the gesture.
    void step(DeviceId device, const std::optional<QString>& bundleIdentifier, double distance, Report report) override;

    double pendingDistance() const { return pendingDistance_; }
    QString token() const { return token_; }
    bool isRunning() const { return task_.has_value(); }
    bool isFinished() const { return finished_; }
    bool hasFailed() const { return failed_; }

    static constexpr double secondsPerTrackpadWidth = 120;
    static constexpr double loopPacing = 0.06;
    static constexpr double negligibleDistance = 1e-5;

private:
    struct Session {
        QString bundleIdentifier;
        QString token;
        Report report;
        CancellationToken cancellation;
    };
    static QCoro::Task<void> start(QPointer<BrowserVideoScrubber> scrubber, BrowserVideoControlling* bridge,
                                   Scheduler* scheduler, Session session);
    static void fail(const QPointer<BrowserVideoScrubber>& scrubber, const Session& session, BrowserVideoError error);
    // The session is still the scrubber's own: not reset or cancelled since.
    static bool isCurrent(const QPointer<BrowserVideoScrubber>& scrubber, const Session& session);

    BrowserVideoControlling& bridge_;
    std::function<std::optional<QString>()> currentApplication_;
    Scheduler& scheduler_;
    // The running session loop; cancelling it stops the loop at its next
    // check.
    std::optional<CancellationSource> task_;
    QString token_;
    std::optional<DeviceId> device_;
    double pendingDistance_ = 0;
    bool finished_ = false;
    bool failed_ = false;
};

}  // namespace glidra
