#pragma once

#include "platform/linux/StatusNotifierTypes.h"

#include <QDBusConnection>
#include <QDBusVariant>
#include <QHash>
#include <QObject>
#include <QPointer>

class QAction;
class QMenu;

namespace glidra::linux_platform {

// A menu of the program's, exported on the session bus as
// com.canonical.dbusmenu, the way a StatusNotifierItem's host shows it: the
// panel draws the entries and sends the clicks back. Entries follow the
// menu's actions (text, shown or hidden, enabled, checked, separators,
// submenus); a change is announced as a new layout revision. The object's
// public slots, signals and properties are the interface.
class DBusMenuExporter final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    // `menu` outlives the exporter or is deleted first; it stays the caller's.
    explicit DBusMenuExporter(QMenu* menu, QObject* parent = nullptr);
    ~DBusMenuExporter() override;

    // Puts the menu on `bus` at `path`; false when the path is taken.
    bool exportOn(QDBusConnection bus, const QString& path);

    uint version() const { return 3; }
    QString textDirection() const;
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }
    uint revision() const { return revision_; }

    // The entry's id for `action`, or -1 when it is not in the menu.
    int idOf(const QAction* action) const;

    bool eventFilter(QObject* watched, QEvent* event) override;

public Q_SLOTS:
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   glidra::linux_platform::DBusMenuLayoutItem& layout);
    glidra::linux_platform::DBusMenuItems GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames);
    QDBusVariant GetProperty(int id, const QString& name);
    void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    QList<int> EventGroup(const glidra::linux_platform::DBusMenuEvents& events);
    bool AboutToShow(int id);
    QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

Q_SIGNALS:
    void ItemsPropertiesUpdated(const glidra::linux_platform::DBusMenuItems& updatedProperties,
                                const glidra::linux_platform::DBusMenuItemKeysList& removedProperties);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    // The menu an id opens: the root for 0, a submenu's for its action.
    QMenu* menuOf(int id) const;
    QAction* actionOf(int id) const;
    int idFor(QAction* action);
    QVariantMap propertiesOf(QAction* action, const QStringList& names) const;
    DBusMenuLayoutItem layoutOf(int id, QMenu* menu, int depth, const QStringList& names);
    void watch(QMenu* menu);
    // Announces a new layout once the current burst of changes is over.
    void changed();
    bool handleEvent(int id, const QString& eventId);

    QPointer<QMenu> menu_;
    QHash<int, QPointer<QAction>> actions_;
    QHash<const QAction*, int> ids_;
    int nextId_ = 1;
    uint revision_ = 1;
    bool announcing_ = false;
};

}  // namespace glidra::linux_platform
