#include "platform/linux/StatusNotifierItem.h"

#include "platform/LogCategories.h"
#include "platform/linux/DBusMenuExporter.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QLoggingCategory>
#include <QMenu>
#include <QTimer>

#include <unistd.h>

namespace glidra::linux_platform {

namespace {

constexpr int kWatcherTimeoutMs = 5000;
// A watcher may take its bus name a moment before it answers on it.
constexpr int kRetryDelayMs = 250;
constexpr int kAttempts = 8;

}  // namespace

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, QString id, QString title, QMenu* menu, Activated activated,
                                       QObject* parent)
    : QObject(parent),
      bus_(std::move(bus)),
      id_(std::move(id)),
      title_(std::move(title)),
      menu_(menu),
      activated_(std::move(activated)),
      exporter_(std::make_unique<DBusMenuExporter>(menu)) {
    registerStatusNotifierTypes();
}

StatusNotifierItem::~StatusNotifierItem() {
    if (!started_) return;
    bus_.disconnect(QString::fromLatin1(kWatcherService), QStringLiteral("/StatusNotifierWatcher"),
                    QString::fromLatin1(kWatcherService), QStringLiteral("StatusNotifierItemUnregistered"), this,
                    SLOT(itemUnregistered(QString)));
    bus_.unregisterObject(QString::fromLatin1(kItemPath));
    bus_.unregisterObject(QString::fromLatin1(kMenuPath));
    // The watcher drops the item when its name goes.
    bus_.unregisterService(serviceName_);
}

bool StatusNotifierItem::start() {
    if (started_) return true;
    if (!bus_.isConnected()) return false;
    static int items = 0;
    serviceName_ = QStringLiteral("org.kde.StatusNotifierItem-%1-%2").arg(::getpid()).arg(++items);
    if (!bus_.registerObject(QString::fromLatin1(kItemPath), this,
                             QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                 QDBusConnection::ExportAllProperties) ||
        !exporter_->exportOn(bus_, QString::fromLatin1(kMenuPath))) {
        qCWarning(lcServices) << "cannot put the tray item on the session bus:" << bus_.lastError().message();
        bus_.unregisterObject(QString::fromLatin1(kItemPath));
        return false;
    }
    if (!bus_.registerService(serviceName_)) {
        qCWarning(lcServices) << "cannot take the tray item's bus name:" << bus_.lastError().message();
        bus_.unregisterObject(QString::fromLatin1(kItemPath));
        bus_.unregisterObject(QString::fromLatin1(kMenuPath));
        return false;
    }
    started_ = true;
    // A panel that restarts brings a new watcher, which knows no items.
    watcher_ = new QDBusServiceWatcher(QString::fromLatin1(kWatcherService), bus_,
                                       QDBusServiceWatcher::WatchForRegistration, this);
    connect(watcher_, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        attemptsLeft_ = kAttempts;
        registerWithWatcher();
    });
    // A watcher that drops the item while it is here takes it again:
    // GNOME's AppIndicator drops an item whose first reading of its
    // properties failed, and would show nothing until the next start.
    bus_.connect(QString::fromLatin1(kWatcherService), QStringLiteral("/StatusNotifierWatcher"),
                 QString::fromLatin1(kWatcherService), QStringLiteral("StatusNotifierItemUnregistered"), this,
                 SLOT(itemUnregistered(QString)));
    attemptsLeft_ = kAttempts;
    registerWithWatcher();
    return true;
}

void StatusNotifierItem::registerWithWatcher() {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kWatcherService), QStringLiteral("/StatusNotifierWatcher"),
        QString::fromLatin1(kWatcherService), QStringLiteral("RegisterStatusNotifierItem"));
    call.setArguments({serviceName_});
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call, kWatcherTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        const QDBusMessage reply = answer->reply();
        registered_ = reply.type() == QDBusMessage::ReplyMessage;
        if (registered_) {
            qCInfo(lcServices) << "tray item registered with the StatusNotifier watcher";
            return;
        }
        // No watcher at all: the next one to appear is asked.
        if (reply.errorName() != QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") && --attemptsLeft_ > 0) {
            QTimer::singleShot(kRetryDelayMs, this, &StatusNotifierItem::registerWithWatcher);
            return;
        }
        qCWarning(lcServices).noquote() << "the StatusNotifier watcher did not take the tray item:" << reply.errorName()
                                        << reply.errorMessage();
    });
}

void StatusNotifierItem::itemUnregistered(const QString& item) {
    // Watchers name an item by the name it registered, some with its path.
    if (item != serviceName_ && !item.startsWith(serviceName_ + u'/')) return;
    registered_ = false;
    if (--attemptsLeft_ <= 0) {
        qCWarning(lcServices) << "the StatusNotifier watcher keeps dropping the tray item; it stays off the panel";
        return;
    }
    qCInfo(lcServices) << "the StatusNotifier watcher dropped the tray item: registering it again";
    QTimer::singleShot(kRetryDelayMs, this, &StatusNotifierItem::registerWithWatcher);
}

void StatusNotifierItem::setIcon(const QIcon& icon) {
    pixmaps_ = iconPixmaps(icon);
    if (started_) Q_EMIT NewIcon();
}

void StatusNotifierItem::ContextMenu(int x, int y) {
    // A panel that draws no menu of its own: ours, where it says.
    if (menu_) menu_->popup(QPoint(x, y));
}

void StatusNotifierItem::Activate(int x, int y) {
    if (activated_) activated_(QPoint(x, y));
}

void StatusNotifierItem::SecondaryActivate(int x, int y) {
    Q_UNUSED(x);
    Q_UNUSED(y);
}

void StatusNotifierItem::Scroll(int delta, const QString& orientation) {
    Q_UNUSED(delta);
    Q_UNUSED(orientation);
}

}  // namespace glidra::linux_platform
