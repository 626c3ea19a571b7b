#pragma once

#include "platform/SystemTray.h"

#include <QDBusConnection>

#include <chrono>
#include <functional>

class QDBusServiceWatcher;
class QTimer;

namespace glidra::linux_platform {

// How often and how long Qt is asked again.
struct TrayWatch {
    std::chrono::milliseconds interval{std::chrono::seconds(2)};
    std::chrono::milliseconds period{std::chrono::minutes(2)};
};

// The tray as Qt sees it. Without one at start it keeps looking, by asking
// Qt again at an interval for a while after start (a panel's xembed tray
// gives no sign of its own), and again at once and for another while when
// the StatusNotifier watcher appears on the session bus.
class QtSystemTray final : public SystemTray {
    Q_OBJECT
public:
    // Whether a tray is there now; Qt's own answer unless a test gives one.
    using Probe = std::function<bool()>;
    using Watch = TrayWatch;

    static bool qtHasTray();

    explicit QtSystemTray(QDBusConnection bus, Probe probe = &QtSystemTray::qtHasTray, Watch watch = {},
                          QObject* parent = nullptr);

    bool isAvailable() const override { return available_; }
    // Still looking by asking Qt at the interval.
    bool isPolling() const;

private:
    void check();
    void pollAgain();
    void stopWatching();

    QDBusConnection bus_;
    Probe probe_;
    Watch watch_;
    bool available_ = false;
    int pollsLeft_ = 0;
    QDBusServiceWatcher* watcher_ = nullptr;
    QTimer* poll_ = nullptr;
};

}  // namespace glidra::linux_platform
