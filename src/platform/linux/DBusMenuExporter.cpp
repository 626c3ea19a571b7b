#include "platform/linux/DBusMenuExporter.h"

#include "platform/LogCategories.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMenu>

namespace glidra::linux_platform {

namespace {

// Qt marks a mnemonic with "&", the panels with "_"; a literal "_" doubles.
QString labelOf(QString text) {
    text.replace(QLatin1Char('_'), QStringLiteral("__"));
    QString label;
    label.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) {
            label += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
            label += QLatin1Char('&');
            ++i;
        } else {
            label += QLatin1Char('_');
        }
    }
    return label;
}

bool wanted(const QStringList& names, const char* name) {
    return names.isEmpty() || names.contains(QLatin1String(name));
}

}  // namespace

DBusMenuExporter::DBusMenuExporter(QMenu* menu, QObject* parent) : QObject(parent), menu_(menu) {
    registerStatusNotifierTypes();
    if (menu_) watch(menu_);
}

DBusMenuExporter::~DBusMenuExporter() = default;

bool DBusMenuExporter::exportOn(QDBusConnection bus, const QString& path) {
    return bus.registerObject(
        path, this,
        QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals | QDBusConnection::ExportAllProperties);
}

QString DBusMenuExporter::textDirection() const {
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl") : QStringLiteral("ltr");
}

int DBusMenuExporter::idOf(const QAction* action) const { return ids_.value(action, -1); }

void DBusMenuExporter::watch(QMenu* menu) { menu->installEventFilter(this); }

bool DBusMenuExporter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ActionAdded:
        case QEvent::ActionRemoved:
        case QEvent::ActionChanged:
            changed();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void DBusMenuExporter::changed() {
    if (announcing_) return;
    announcing_ = true;
    // One announcement for a burst: the menu's sync changes several entries.
    QMetaObject::invokeMethod(
        this,
        [this] {
            announcing_ = false;
            Q_EMIT LayoutUpdated(++revision_, 0);
        },
        Qt::QueuedConnection);
}

int DBusMenuExporter::idFor(QAction* action) {
    const auto known = ids_.constFind(action);
    if (known != ids_.constEnd()) return *known;
    const int id = nextId_++;
    ids_.insert(action, id);
    actions_.insert(id, action);
    connect(action, &QObject::destroyed, this, [this, id, action] {
        ids_.remove(action);
        actions_.remove(id);
    });
    if (action->menu()) watch(action->menu());
    return id;
}

QAction* DBusMenuExporter::actionOf(int id) const { return actions_.value(id); }

QMenu* DBusMenuExporter::menuOf(int id) const {
    if (id == 0) return menu_;
    QAction* action = actionOf(id);
    return action ? action->menu() : nullptr;
}

QVariantMap DBusMenuExporter::propertiesOf(QAction* action, const QStringList& names) const {
    QVariantMap properties;
    const auto put = [&](const char* name, QVariant value) {
        if (wanted(names, name)) properties.insert(QString::fromLatin1(name), std::move(value));
    };
    if (action->isSeparator()) {
        put("type", QStringLiteral("separator"));
    } else {
        put("label", labelOf(action->text()));
    }
    // Only what differs from the protocol's defaults.
    if (!action->isEnabled()) put("enabled", false);
    if (!action->isVisible()) put("visible", false);
    if (action->isCheckable()) {
        put("toggle-type", action->actionGroup() && action->actionGroup()->isExclusive() ? QStringLiteral("radio")
                                                                                         : QStringLiteral("checkmark"));
        put("toggle-state", action->isChecked() ? 1 : 0);
    }
    if (action->menu()) put("children-display", QStringLiteral("submenu"));
    return properties;
}

DBusMenuLayoutItem DBusMenuExporter::layoutOf(int id, QMenu* menu, int depth, const QStringList& names) {
    DBusMenuLayoutItem item;
    item.id = id;
    if (id == 0) {
        if (wanted(names, "children-display"))
            item.properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    } else if (QAction* action = actionOf(id)) {
        item.properties = propertiesOf(action, names);
    }
    if (!menu || depth == 0) return item;
    for (QAction* action : menu->actions()) {
        const int child = idFor(action);
        item.children.append(layoutOf(child, action->menu(), depth < 0 ? depth : depth - 1, names));
    }
    return item;
}

uint DBusMenuExporter::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                 DBusMenuLayoutItem& layout) {
    if (parentId != 0 && !actionOf(parentId)) {
        layout = DBusMenuLayoutItem{};
        return revision_;
    }
    layout = layoutOf(parentId, menuOf(parentId), recursionDepth, propertyNames);
    return revision_;
}

DBusMenuItems DBusMenuExporter::GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames) {
    DBusMenuItems items;
    for (const int id : ids) {
        if (id == 0) {
            items.append(DBusMenuItem{0, {{QStringLiteral("children-display"), QStringLiteral("submenu")}}});
        } else if (QAction* action = actionOf(id)) {
            items.append(DBusMenuItem{id, propertiesOf(action, propertyNames)});
        }
    }
    return items;
}

QDBusVariant DBusMenuExporter::GetProperty(int id, const QString& name) {
    QAction* action = actionOf(id);
    if (!action) return QDBusVariant(QVariant());
    return QDBusVariant(propertiesOf(action, {name}).value(name));
}

void DBusMenuExporter::Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp) {
    Q_UNUSED(data);
    Q_UNUSED(timestamp);
    handleEvent(id, eventId);
}

QList<int> DBusMenuExporter::EventGroup(const DBusMenuEvents& events) {
    QList<int> unknown;
    for (const DBusMenuEvent& event : events) {
        if (!handleEvent(event.id, event.eventId)) unknown.append(event.id);
    }
    return unknown;
}

bool DBusMenuExporter::handleEvent(int id, const QString& eventId) {
    QMenu* menu = menuOf(id);
    QAction* action = actionOf(id);
    if (id != 0 && !action) return false;
    if (eventId == QLatin1String("clicked")) {
        if (!action || action->menu() || !action->isEnabled() || !action->isVisible()) return true;
        qCDebug(lcServices) << "panel menu entry chosen:" << action->objectName();
        // After the answer to the panel: what the entry does may end the
        // program.
        QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
    } else if (eventId == QLatin1String("opened") && menu) {
        Q_EMIT menu->aboutToShow();
    } else if (eventId == QLatin1String("closed") && menu) {
        Q_EMIT menu->aboutToHide();
    }
    return true;
}

bool DBusMenuExporter::AboutToShow(int id) {
    // The entries are announced as they change: nothing to fetch first.
    if (QMenu* menu = menuOf(id)) Q_EMIT menu->aboutToShow();
    return false;
}

QList<int> DBusMenuExporter::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    for (const int id : ids) {
        if (QMenu* menu = menuOf(id)) {
            Q_EMIT menu->aboutToShow();
        } else {
            idErrors.append(id);
        }
    }
    return {};
}

}  // namespace glidra::linux_platform
