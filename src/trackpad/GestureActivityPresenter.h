#pragma once

#include "gestures/TouchPoint.h"
#include "trackpad/DeviceId.h"

#include <QObject>
#include <QString>

#include <limits>
#include <map>
#include <optional>
#include <vector>

namespace glidra {

class Clock;

// One contact as the practice view draws it; the id is unique across
// devices ("device:contact"), so the view can key its drawing by it.
struct PracticeContactPoint {
    QString id;
    float x = 0;
    float y = 0;
    float pressure = 0;

    friend bool operator==(const PracticeContactPoint&, const PracticeContactPoint&) = default;
};

// The model behind the practice drawing: the fingers touching every trackpad
// while practice or learning mode is on, published at most every 0.05 s so
// the view is not redrawn at the trackpad's frame rate. Main thread only.
class GestureActivityPresenter final : public QObject {
    Q_OBJECT

public:
    explicit GestureActivityPresenter(const Clock& clock, QObject* parent = nullptr);

    const std::vector<PracticeContactPoint>& points() const { return points_; }
    const std::optional<TouchPoint>& origin() const { return origin_; }
    const std::map<DeviceId, std::vector<TouchPoint>>& devices() const { return devices_; }
    double lastUpdate() const { return lastUpdate_; }

    void update(DeviceId device, const std::vector<TouchPoint>& touches, std::optional<TouchPoint> origin);
    void clear();

    static constexpr double kPublicationInterval = 0.05;

Q_SIGNALS:
    void pointsChanged();
    void originChanged();
    void devicesChanged();

private:
    void setPoints(std::vector<PracticeContactPoint> points);
    void setOrigin(std::optional<TouchPoint> origin);

    const Clock& clock_;
    std::vector<PracticeContactPoint> points_;
    std::optional<TouchPoint> origin_;
    std::map<DeviceId, std::vector<TouchPoint>> devices_;
    double lastUpdate_ = -std::numeric_limits<double>::infinity();
};

}  // namespace glidra
