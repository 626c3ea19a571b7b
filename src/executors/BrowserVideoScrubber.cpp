#include "executors/BrowserVideoScrubber.h"

#include "platform/Scheduler.h"
#include "platform/WebBrowsers.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QUuid>

#include <cmath>
#include <utility>

namespace glidra {

BrowserVideoScrubber::BrowserVideoScrubber(BrowserVideoControlling& bridge,
                                           std::function<std::optional<QString>()> currentApplication,
                                           Scheduler& scheduler, QObject* parent)
    : QObject(parent),
      bridge_(bridge),
      currentApplication_(std::move(currentApplication)),
      scheduler_(scheduler),
      token_(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()) {}

BrowserVideoScrubber::~BrowserVideoScrubber() {
    if (task_) task_->cancel();
}

void BrowserVideoScrubber::reset() {
    if (task_) task_->cancel();
    task_.reset();
    token_ = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    device_.reset();
    pendingDistance_ = 0;
    finished_ = false;
    failed_ = false;
}

void BrowserVideoScrubber::step(DeviceId device, const std::optional<QString>& bundleIdentifier, double distance,
                                Report report) {
    if (failed_ || !std::isfinite(distance)) return;
    if (device_ != device) {
        reset();
        device_ = device;
    }
    pendingDistance_ += distance;
    // A running loop takes the distance up at its next cycle.
    if (task_) return;

    if (!bundleIdentifier || !webBrowserFamily(*bundleIdentifier)) {
        failed_ = true;
        report(BrowserVideoError::unsupportedBrowser);
        return;
    }
    CancellationSource cancellation;
    task_ = cancellation;
    Session session{*bundleIdentifier, token_, std::move(report), cancellation.token()};
    QPointer<BrowserVideoScrubber> self(this);
    BrowserVideoControlling* bridge = &bridge_;
    Scheduler* scheduler = &scheduler_;
    // Runs as a task of its own, from the event loop, like every session.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self, bridge, scheduler, session = std::move(session)]() mutable {
            if (!session.cancellation.isCancelled()) {
                auto running = start(self, bridge, scheduler, std::move(session));
                Q_UNUSED(running);
            }
        },
        Qt::QueuedConnection);
}

bool BrowserVideoScrubber::isCurrent(const QPointer<BrowserVideoScrubber>& scrubber, const Session& session) {
    return scrubber && !session.cancellation.isCancelled() && scrubber->token_ == session.token;
}

void BrowserVideoScrubber::fail(const QPointer<BrowserVideoScrubber>& scrubber, const Session& session,
                                BrowserVideoError error) {
    // A superseded session never reports.
    if (!isCurrent(scrubber, session)) return;
    scrubber->failed_ = true;
    scrubber->task_.reset();
    session.report(error);
}

QCoro::Task<void> BrowserVideoScrubber::start(QPointer<BrowserVideoScrubber> scrubber, BrowserVideoControlling* bridge,
                                              Scheduler* scheduler, Session session) {
    if (!scrubber) co_return;
    auto beginning = bridge->run(session.bundleIdentifier, QStringLiteral("begin"), session.token, std::nullopt);
    const auto begun = co_await beginning;
    if (!begun) {
        fail(scrubber, session, begun.error());
        co_return;
    }
    double time = begun->time;
    const double duration = begun->duration;

    for (;;) {
        if (!isCurrent(scrubber, session)) co_return;
        if (scrubber->currentApplication_() != session.bundleIdentifier) {
            fail(scrubber, session, BrowserVideoError::changed);
            co_return;
        }
        const double distance = std::exchange(scrubber->pendingDistance_, 0.0);
        if (std::abs(distance) > negligibleDistance) {
            double target = std::isfinite(distance) ? time + distance * secondsPerTrackpadWidth : time;
            if (!(target >= 0)) {
                target = 0;
            } else if (target >= duration) {
                target = duration;
            }
            auto seeking = bridge->run(session.bundleIdentifier, QStringLiteral("seek"), session.token, target);
            const auto sought = co_await seeking;
            if (!sought) {
                fail(scrubber, session, sought.error());
                co_return;
            }
            if (!isCurrent(scrubber, session)) co_return;
            session.report(sought.value());
            // Onward from where the browser says it is, not from the target.
            time = sought->time;
        }
        if (scrubber->finished_ && std::abs(scrubber->pendingDistance_) < negligibleDistance) break;
        co_await scheduler->sleep(loopPacing, session.cancellation);
    }

    // The fingers have lifted and nothing is pending: close the session.
    auto ending = bridge->run(session.bundleIdentifier, QStringLiteral("end"), session.token, std::nullopt);
    co_await ending;
    if (scrubber && scrubber->token_ == session.token) {
        scrubber->task_.reset();
        scrubber->device_.reset();
    }
}

}  // namespace glidra
