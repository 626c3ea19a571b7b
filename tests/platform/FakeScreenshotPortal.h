#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>

#include <deque>
#include <memory>
#include <vector>

namespace glidra::test {

class FakePortalRequest;

// The desktop portal's Screenshot interface: each call opens a request
// object named after the caller and its handle token, which the test answers
// with respond() and which the caller may Close().
class FakeScreenshotPortal : public QObject {
    Q_OBJECT

public:
    struct Call {
        QString parentWindow;
        QVariantMap options;
        QString requestPath;
        bool closed = false;
    };

    explicit FakeScreenshotPortal(QDBusConnection bus) : bus_(std::move(bus)) {}
    bool publish();

    // Answers call `index`: 0 with the picture's URI, 1 cancelled, 2 failed.
    void respond(std::size_t index, uint response, const QVariantMap& results = {});

    // A deque: requests keep pointers to their calls.
    std::deque<Call> calls;

    QDBusObjectPath screenshot(const QString& parentWindow, const QVariantMap& options, const QDBusMessage& message);

private:
    QDBusConnection bus_;
    std::vector<std::unique_ptr<FakePortalRequest>> requests_;
};

class FakePortalRequest final : public QObject {
    Q_OBJECT

public:
    FakePortalRequest(FakeScreenshotPortal::Call* call) : call_(call) {}
    void close() { call_->closed = true; }

private:
    FakeScreenshotPortal::Call* call_;
};

class FakePortalRequestAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")

public:
    explicit FakePortalRequestAdaptor(FakePortalRequest* request) : QDBusAbstractAdaptor(request), request_(request) {}

public Q_SLOTS:
    void Close() { request_->close(); }

private:
    FakePortalRequest* request_;
};

class FakeScreenshotAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")

public:
    explicit FakeScreenshotAdaptor(FakeScreenshotPortal* portal) : QDBusAbstractAdaptor(portal), portal_(portal) {}

public Q_SLOTS:
    QDBusObjectPath Screenshot(const QString& parentWindow, const QVariantMap& options, const QDBusMessage& message) {
        return portal_->screenshot(parentWindow, options, message);
    }

private:
    FakeScreenshotPortal* portal_;
};

inline bool FakeScreenshotPortal::publish() {
    new FakeScreenshotAdaptor(this);
    return bus_.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), this,
                               QDBusConnection::ExportAdaptors) &&
           bus_.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
}

inline QDBusObjectPath FakeScreenshotPortal::screenshot(const QString& parentWindow, const QVariantMap& options,
                                                        const QDBusMessage& message) {
    QString sender = message.service();
    sender.remove(0, 1).replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender + QLatin1Char('/') +
                         options.value(QStringLiteral("handle_token")).toString();
    calls.push_back(Call{parentWindow, options, path, false});
    auto request = std::make_unique<FakePortalRequest>(&calls.back());
    new FakePortalRequestAdaptor(request.get());
    bus_.registerObject(path, request.get(), QDBusConnection::ExportAdaptors);
    requests_.push_back(std::move(request));
    return QDBusObjectPath(path);
}

inline void FakeScreenshotPortal::respond(std::size_t index, uint response, const QVariantMap& results) {
    QDBusMessage signal = QDBusMessage::createSignal(
        calls.at(index).requestPath, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
    signal << response << results;
    bus_.send(signal);
}

}  // namespace glidra::test
