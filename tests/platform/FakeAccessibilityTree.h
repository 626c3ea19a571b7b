#pragma once

#include "platform/linux/AtspiReference.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>

#include <functional>
#include <map>
#include <set>

namespace glidra::test {

// The desktop's accessibility bus as browsers fill it: the bus launcher
// (org.a11y.Bus, naming the bus itself), the registry listing the
// applications, and each application's tree of elements, all served by one
// connection from a table of nodes that tests edit between calls.
class FakeAccessibilityTree final : public QDBusVirtualObject {
public:
    struct Node {
        QString role;
        QString name;
        quint64 states = 0;
        QStringList children;  // paths
        QMap<QString, QString> attributes;
        QString toolkit;
        // Answers every question with UnknownMethod, as the elements of a
        // browser that does not publish its pages do.
        bool unpublished = false;
    };

    static constexpr quint64 active = quint64(1) << 1;
    static constexpr quint64 showing = quint64(1) << 25;
    static QString root() { return QStringLiteral("/org/a11y/atspi/accessible/root"); }

    std::map<QString, Node> nodes;
    // Called before each answer with the method and the element's path.
    std::function<void(const QString&, const QString&)> onCall;

    // Serves the tree on `connection`; `address` is what the launcher names.
    bool publish(QDBusConnection connection, const QString& address) {
        linux_platform::registerAtspiTypes();
        address_ = address;
        service_ = connection.baseService();
        return connection.registerVirtualObject(QStringLiteral("/org/a11y"), this, QDBusConnection::SubPath) &&
               connection.registerService(QStringLiteral("org.a11y.Bus")) &&
               connection.registerService(QStringLiteral("org.a11y.atspi.Registry"));
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        const QString path = message.path();
        const QString member = message.member();
        if (onCall) onCall(member, path);
        if (member == QLatin1String("GetAddress")) return reply(message, connection, {address_});
        const auto it = nodes.find(path);
        if (it == nodes.end()) {
            connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"), path));
            return true;
        }
        const Node& node = it->second;
        if (node.unpublished) {
            connection.send(
                message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"), member));
            return true;
        }
        if (member == QLatin1String("GetChildren")) {
            QList<linux_platform::AtspiReference> children;
            for (const QString& child : node.children) children.append({service_, QDBusObjectPath(child)});
            return reply(message, connection, {QVariant::fromValue(children)});
        }
        if (member == QLatin1String("GetRoleName")) return reply(message, connection, {node.role});
        if (member == QLatin1String("GetState")) {
            const QList<uint> words{uint(node.states & 0xFFFFFFFFu), uint(node.states >> 32)};
            return reply(message, connection, {QVariant::fromValue(words)});
        }
        if (member == QLatin1String("GetAttributes")) {
            return reply(message, connection, {QVariant::fromValue(node.attributes)});
        }
        if (member == QLatin1String("Get")) {
            const QString property = message.arguments().value(1).toString();
            const QString value = property == QLatin1String("ToolkitName") ? node.toolkit : node.name;
            return reply(message, connection, {QVariant::fromValue(QDBusVariant(value))});
        }
        return false;
    }

private:
    static bool reply(const QDBusMessage& message, const QDBusConnection& connection, const QVariantList& values) {
        connection.send(message.createReply(values));
        return true;
    }

    QString address_;
    QString service_;
};

}  // namespace glidra::test
