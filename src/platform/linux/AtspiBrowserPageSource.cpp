#include "platform/linux/AtspiBrowserPageSource.h"

#include "platform/WebBrowsers.h"
#include "platform/linux/AtspiReference.h"

#include <QCoro/QCoroDBus>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QMap>

namespace glidra::linux_platform {

namespace {

using Outcome = BrowserPageReply::Outcome;

const QString accessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");
const QString registryService = QStringLiteral("org.a11y.atspi.Registry");
const QString rootPath = QStringLiteral("/org/a11y/atspi/accessible/root");
constexpr quint64 stateActive = quint64(1) << 1;
constexpr quint64 stateShowing = quint64(1) << 25;
// How deep below a window the page may lie, and how many children of one
// element are looked at.
constexpr int depthLimit = 16;
constexpr int childLimit = 80;

// What the browsers of a family give as their toolkit.
QString toolkitName(WebBrowserFamily family) {
    switch (family) {
        case WebBrowserFamily::chromium:
            return QStringLiteral("Chromium");
        case WebBrowserFamily::firefox:
            return QStringLiteral("Gecko");
    }
    return {};
}

// The accessibility bus as one read sees it: every call shares the read's
// deadline.
struct Bus {
    QDBusConnection connection;
    QDeadlineTimer deadline;
};

// A call's first result, or why there is none: an element that is gone was
// not found; one that does not answer what is asked of it belongs to a
// browser that does not publish its pages (notAuthorized); any other error,
// or running out of time, failed.
template <typename T>
struct Answer {
    std::optional<T> value;
    Outcome failure = Outcome::failed;
};

template <typename T>
Answer<T> refusedWith(Outcome failure) {
    return Answer<T>{std::nullopt, failure};
}

QCoro::Task<Answer<QVariant>> ask(Bus bus, AtspiReference object, QString interface, QString method,
                                  QVariantList arguments) {
    const qint64 remaining = bus.deadline.remainingTime();
    if (remaining <= 0) co_return refusedWith<QVariant>(Outcome::failed);
    QDBusMessage message = QDBusMessage::createMethodCall(object.service, object.path.path(), interface, method);
    message.setArguments(arguments);
    QDBusPendingCall pending = bus.connection.asyncCall(message, int(remaining));
    const QDBusMessage reply = co_await pending;
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        co_return Answer<QVariant>{reply.arguments().constFirst()};
    }
    const QString error = reply.errorName();
    if (error == QLatin1String("org.freedesktop.DBus.Error.UnknownObject")) {
        co_return refusedWith<QVariant>(Outcome::notFound);
    }
    const bool unpublished = error == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") ||
                             error == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface") ||
                             error == QLatin1String("org.freedesktop.DBus.Error.UnknownProperty");
    co_return refusedWith<QVariant>(unpublished ? Outcome::notAuthorized : Outcome::failed);
}

QCoro::Task<Answer<QVariant>> property(Bus bus, AtspiReference object, QString interface, QString name) {
    auto asking =
        ask(bus, object, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"), {interface, name});
    Answer<QVariant> answer = co_await asking;
    if (answer.value) answer.value = answer.value->value<QDBusVariant>().variant();
    co_return answer;
}

QCoro::Task<Answer<QList<AtspiReference>>> children(Bus bus, AtspiReference object) {
    auto asking = ask(bus, object, accessibleInterface, QStringLiteral("GetChildren"), {});
    const auto answer = co_await asking;
    if (!answer.value) co_return refusedWith<QList<AtspiReference>>(answer.failure);
    co_return Answer<QList<AtspiReference>>{qdbus_cast<QList<AtspiReference>>(*answer.value)};
}

QCoro::Task<Answer<quint64>> states(Bus bus, AtspiReference object) {
    auto asking = ask(bus, object, accessibleInterface, QStringLiteral("GetState"), {});
    const auto answer = co_await asking;
    if (!answer.value) co_return refusedWith<quint64>(answer.failure);
    const auto words = qdbus_cast<QList<uint>>(*answer.value);
    quint64 set = 0;
    if (!words.isEmpty()) set |= words[0];
    if (words.size() > 1) set |= quint64(words[1]) << 32;
    co_return Answer<quint64>{set};
}

// The web document a window shows (nothing when it shows none), or why the
// window could not be searched.
QCoro::Task<Answer<std::optional<AtspiReference>>> showingDocument(Bus bus, AtspiReference element, int depth) {
    using Result = Answer<std::optional<AtspiReference>>;
    auto listing = children(bus, element);
    const auto kids = co_await listing;
    if (!kids.value) co_return refusedWith<std::optional<AtspiReference>>(kids.failure);
    for (qsizetype i = 0; i < kids.value->size() && i < childLimit; ++i) {
        const AtspiReference child = kids.value->at(i);
        auto naming = ask(bus, child, accessibleInterface, QStringLiteral("GetRoleName"), {});
        const auto role = co_await naming;
        if (!role.value) co_return refusedWith<std::optional<AtspiReference>>(role.failure);
        if (role.value->toString() == QLatin1String("document web")) {
            auto reading = states(bus, child);
            const auto set = co_await reading;
            if (!set.value) co_return refusedWith<std::optional<AtspiReference>>(set.failure);
            // Tabs in the background keep their documents, hidden.
            if (*set.value & stateShowing) co_return Result{child};
            continue;
        }
        if (depth < depthLimit) {
            auto searching = showingDocument(bus, child, depth + 1);
            const Result found = co_await searching;
            if (!found.value || *found.value) co_return found;
        }
    }
    co_return Result{std::optional<AtspiReference>()};
}

// What one pass reads: the front window, its document, title and address.
struct Pass {
    std::optional<Outcome> failure;
    AtspiReference window;
    AtspiReference document;
    QString title;
    QString address;
};

Pass stopped(Outcome outcome) {
    Pass pass;
    pass.failure = outcome;
    return pass;
}

QCoro::Task<Pass> pageOf(Bus bus, AtspiReference window) {
    auto searching = showingDocument(bus, window, 0);
    const auto found = co_await searching;
    if (!found.value) co_return stopped(found.failure);
    if (!*found.value) co_return stopped(Outcome::noPage);
    const AtspiReference document = **found.value;

    auto naming = property(bus, document, accessibleInterface, QStringLiteral("Name"));
    const auto title = co_await naming;
    auto describing =
        ask(bus, document, QStringLiteral("org.a11y.atspi.Document"), QStringLiteral("GetAttributes"), {});
    const auto attributes = co_await describing;
    if (!attributes.value) co_return stopped(attributes.failure);
    const auto map = qdbus_cast<QMap<QString, QString>>(*attributes.value);
    // Chromium says URI, Firefox DocURL.
    const QString address = map.value(QStringLiteral("URI"), map.value(QStringLiteral("DocURL")));
    if (address.isEmpty()) co_return stopped(Outcome::noPage);
    co_return Pass{std::nullopt, window, document, title.value ? title.value->toString() : QString(), address};
}

// The page of the browser's active window. Not every desktop lets browsers
// know which window is active: then the one window that shows a page is the
// front one, and with several of them nobody can tell.
QCoro::Task<Pass> readPass(Bus bus, QList<AtspiReference> browsers) {
    QList<AtspiReference> windows;
    for (const AtspiReference& browser : browsers) {
        auto listing = children(bus, browser);
        const auto frames = co_await listing;
        if (!frames.value) co_return stopped(frames.failure);
        for (const AtspiReference& frame : *frames.value) {
            auto reading = states(bus, frame);
            const auto set = co_await reading;
            if (!set.value) co_return stopped(set.failure);
            if (*set.value & stateActive) {
                auto paging = pageOf(bus, frame);
                co_return co_await paging;
            }
            if (*set.value & stateShowing) windows.append(frame);
        }
    }
    std::optional<Pass> only;
    for (const AtspiReference& window : windows) {
        auto paging = pageOf(bus, window);
        Pass pass = co_await paging;
        if (pass.failure == Outcome::noPage) continue;
        if (pass.failure || only) co_return pass.failure ? pass : stopped(Outcome::failed);
        only = std::move(pass);
    }
    if (!only) co_return stopped(Outcome::noPage);
    co_return *only;
}

BrowserPageReply refusal(Outcome outcome) { return BrowserPageReply{outcome, std::nullopt, std::nullopt}; }

}  // namespace

AtspiBrowserPageSource::AtspiBrowserPageSource(QDBusConnection sessionBus) : sessionBus_(std::move(sessionBus)) {
    registerAtspiTypes();
}

QCoro::Task<std::optional<QDBusConnection>> AtspiBrowserPageSource::accessibilityBus() {
    if (!sessionBus_.isConnected()) co_return std::nullopt;
    QDBusMessage message =
        QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                       QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
    QDBusPendingCall pending = sessionBus_.asyncCall(message, readTimeoutMs);
    const QDBusMessage reply = co_await pending;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) co_return std::nullopt;
    const QString address = reply.arguments().constFirst().toString();
    if (address.isEmpty()) co_return std::nullopt;
    // One connection per accessibility bus; a restarted bus has a new address.
    const QString name = QStringLiteral("glidra-accessibility");
    if (address != address_) {
        QDBusConnection::disconnectFromBus(name);
        address_ = address;
    }
    QDBusConnection bus = QDBusConnection::connectToBus(address, name);
    if (!bus.isConnected()) co_return std::nullopt;
    co_return bus;
}

QCoro::Task<BrowserPageReply> AtspiBrowserPageSource::readFrontTab(QString desktopId) {
    const auto family = webBrowserFamily(desktopId);
    if (!family) co_return refusal(Outcome::failed);

    auto connecting = accessibilityBus();
    const auto connection = co_await connecting;
    // Without the accessibility bus no browser can show its pages.
    if (!connection) co_return refusal(Outcome::notAuthorized);
    const Bus bus{*connection, QDeadlineTimer(readTimeoutMs)};

    auto listing = children(bus, AtspiReference{registryService, QDBusObjectPath(rootPath)});
    const auto applications = co_await listing;
    if (!applications.value) co_return refusal(Outcome::notAuthorized);
    QList<AtspiReference> browsers;
    for (const AtspiReference& application : *applications.value) {
        auto asking =
            property(bus, application, QStringLiteral("org.a11y.atspi.Application"), QStringLiteral("ToolkitName"));
        const auto toolkit = co_await asking;
        if (toolkit.value && toolkit.value->toString() == toolkitName(*family)) browsers.append(application);
    }
    // A browser started while assistive technologies were off publishes
    // nothing.
    if (browsers.isEmpty()) co_return refusal(Outcome::notAuthorized);

    auto reading = readPass(bus, browsers);
    const Pass first = co_await reading;
    if (first.failure) co_return refusal(*first.failure);
    // Running out of time says nothing of the page; any other difference in
    // the second reading means it changed.
    auto confirming = readPass(bus, browsers);
    const Pass second = co_await confirming;
    if (second.failure && bus.deadline.hasExpired()) co_return refusal(Outcome::failed);
    if (second.failure || second.window != first.window || second.document != first.document ||
        second.title != first.title || second.address != first.address) {
        co_return refusal(Outcome::changed);
    }
    co_return BrowserPageReply{Outcome::page, first.title, first.address};
}

}  // namespace glidra::linux_platform
