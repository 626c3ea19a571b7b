#include "trackpad/GestureActivityPresenter.h"

#include "platform/Clock.h"

namespace glidra {

GestureActivityPresenter::GestureActivityPresenter(const Clock& clock, QObject* parent)
    : QObject(parent), clock_(clock) {}

void GestureActivityPresenter::update(DeviceId device, const std::vector<TouchPoint>& touches,
                                      std::optional<TouchPoint> origin) {
    devices_[device] = touches;
    Q_EMIT devicesChanged();
    const double now = clock_.uptime();
    // A lift is always shown at once; resting fingers wait for the cadence.
    if (!touches.empty() && now - lastUpdate_ < kPublicationInterval) return;

    std::vector<PracticeContactPoint> points;
    for (const auto& [id, contacts] : devices_) {
        for (const TouchPoint& touch : contacts) {
            points.push_back(
                {QString::number(id) + QLatin1Char(':') + QString::number(touch.id), touch.x, touch.y, touch.pressure});
        }
    }
    setPoints(std::move(points));
    if (origin) setOrigin(origin);
    lastUpdate_ = now;
}

void GestureActivityPresenter::clear() {
    devices_.clear();
    Q_EMIT devicesChanged();
    setPoints({});
    setOrigin(std::nullopt);
    lastUpdate_ = -std::numeric_limits<double>::infinity();
}

void GestureActivityPresenter::setPoints(std::vector<PracticeContactPoint> points) {
    if (points == points_) return;
    points_ = std::move(points);
    Q_EMIT pointsChanged();
}

void GestureActivityPresenter::setOrigin(std::optional<TouchPoint> origin) {
    if (origin == origin_) return;
    origin_ = origin;
    Q_EMIT originChanged();
}

}  // namespace glidra
