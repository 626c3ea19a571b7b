#pragma once

#include "platform/linux/StatusNotifierTypes.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QIcon>
#include <QObject>
#include <QPoint>

#include <functional>
#include <memory>

class QDBusServiceWatcher;
class QMenu;

namespace glidra::linux_platform {

class DBusMenuExporter;

// The program's icon as a StatusNotifierItem of its own on the session bus,
// for the panels that show items through org.kde.StatusNotifierWatcher
// (Plasma, GNOME Shell's AppIndicator extension, most others). It registers
// with the watcher, and again whenever a watcher appears, and exports `menu`
// beside it for the panel to draw; the item is a menu, so a panel opens the
// menu on a click. The object's public slots, signals and properties are the
// interface.
class StatusNotifierItem final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ emptyText)
    Q_PROPERTY(QString IconName READ emptyText)
    Q_PROPERTY(glidra::linux_platform::SniIconPixmaps IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ emptyText)
    Q_PROPERTY(glidra::linux_platform::SniIconPixmaps OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ emptyText)
    Q_PROPERTY(glidra::linux_platform::SniIconPixmaps AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ emptyText)
    Q_PROPERTY(glidra::linux_platform::SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menuPath)

public:
    static constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
    static constexpr const char* kItemPath = "/StatusNotifierItem";
    static constexpr const char* kMenuPath = "/MenuBar";

    // A panel's click on the item, where it says (screen coordinates).
    using Activated = std::function<void(QPoint)>;

    // `id` is the item's stable name among the panel's items; `menu` stays
    // the caller's and outlives the item.
    StatusNotifierItem(QDBusConnection bus, QString id, QString title, QMenu* menu, Activated activated,
                       QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // Puts the item and its menu on the bus and registers it with the
    // watcher; false when the bus refused the objects or the name.
    bool start();
    void setIcon(const QIcon& icon);

    // The item's bus name, which the watcher lists.
    const QString& serviceName() const { return serviceName_; }
    // The watcher took the item.
    bool isRegistered() const { return registered_; }
    const DBusMenuExporter& menuExporter() const { return *exporter_; }

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return id_; }
    QString title() const { return title_; }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString emptyText() const { return {}; }
    SniIconPixmaps iconPixmap() const { return pixmaps_; }
    SniIconPixmaps noPixmaps() const { return {}; }
    SniToolTip toolTip() const { return SniToolTip{{}, {}, title_, {}}; }
    bool itemIsMenu() const { return true; }
    QDBusObjectPath menuPath() const { return QDBusObjectPath(QString::fromLatin1(kMenuPath)); }

public Q_SLOTS:
    void ContextMenu(int x, int y);
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void Scroll(int delta, const QString& orientation);

Q_SIGNALS:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);

private Q_SLOTS:
    void itemUnregistered(const QString& item);

private:
    void registerWithWatcher();

    QDBusConnection bus_;
    QString id_;
    QString title_;
    QMenu* menu_;
    Activated activated_;
    std::unique_ptr<DBusMenuExporter> exporter_;
    QDBusServiceWatcher* watcher_ = nullptr;
    QString serviceName_;
    SniIconPixmaps pixmaps_;
    bool started_ = false;
    bool registered_ = false;
    int attemptsLeft_ = 0;
};

}  // namespace glidra::linux_platform
