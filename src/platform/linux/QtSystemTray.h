#pragma once

#include "platform/SystemTray.h"

#include <QDBusConnection>
#include <QPointer>

#include <chrono>
#include <functional>
#include <memory>

class QDBusServiceWatcher;
class QSystemTrayIcon;
class QTimer;

namespace glidra::linux_platform {

class StatusNotifierItem;

// How often and how long Qt is asked again.
struct TrayWatch {
    std::chrono::milliseconds interval{std::chrono::seconds(2)};
    std::chrono::milliseconds period{std::chrono::minutes(2)};
};

// The tray: Qt's own tray icon where Qt finds a tray (an xembed tray, or a
// StatusNotifier host that was there at start), else an item of the
// program's own for a StatusNotifier host that comes later. Qt decides
// about StatusNotifier hosts once per process, so only its xembed tray can
// still turn up; without a tray at start the adapter asks Qt again at an
// interval for a while (a panel's xembed tray gives no sign of its own),
// and follows the StatusNotifier watcher on the session bus: once a host
// has registered with it, the tray is there.
class QtSystemTray final : public SystemTray {
    Q_OBJECT
public:
    // Whether Qt has a tray now; Qt's own answer unless a test gives one.
    using Probe = std::function<bool()>;
    using Watch = TrayWatch;

    static bool qtHasTray();

    explicit QtSystemTray(QDBusConnection bus, Probe probe = &QtSystemTray::qtHasTray, Watch watch = {},
                          QObject* parent = nullptr);
    ~QtSystemTray() override;

    bool isAvailable() const override { return kind_ != Kind::none; }
    void showIcon(const QIcon& icon, const QString& toolTip, QMenu* menu) override;
    bool isShowingIcon() const override;
    void setIcon(const QIcon& icon) override;
    void hideIcon() override;
    std::optional<QRect> iconGeometry() const override;

    // Still looking by asking Qt at the interval.
    bool isPolling() const;
    // The icon is the program's own StatusNotifierItem; null otherwise.
    const StatusNotifierItem* statusNotifierItem() const { return item_.get(); }

private Q_SLOTS:
    // The watcher's signal: a panel's host registered with it.
    void hostRegistered();

private:
    enum class Kind { none, qt, statusNotifier };

    void check();
    void pollAgain();
    void askWatcher();
    void becomeAvailable(Kind kind);
    void stopWatching();

    QDBusConnection bus_;
    Probe probe_;
    Watch watch_;
    Kind kind_ = Kind::none;
    int pollsLeft_ = 0;
    QDBusServiceWatcher* watcher_ = nullptr;
    QTimer* poll_ = nullptr;
    bool listening_ = false;
    QSystemTrayIcon* qtIcon_ = nullptr;
    std::unique_ptr<StatusNotifierItem> item_;
};

}  // namespace glidra::linux_platform
