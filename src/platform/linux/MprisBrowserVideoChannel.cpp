#include "platform/linux/MprisBrowserVideoChannel.h"

#include "platform/WebBrowsers.h"

#include <QCoro/QCoroDBus>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace glidra::linux_platform {

namespace {

const QString mprisPrefix = QStringLiteral("org.mpris.MediaPlayer2.");
const QString mprisPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString rootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

BrowserVideoReply answer(const QJsonObject& object) {
    return BrowserVideoReply{BrowserVideoReply::Delivery::answered, QJsonDocument(object).toJson()};
}

BrowserVideoReply pageError(const char* code) {
    return answer(QJsonObject{{QStringLiteral("error"), QLatin1String(code)}});
}

BrowserVideoReply state(double time, double duration) {
    return answer(QJsonObject{{QStringLiteral("time"), time}, {QStringLiteral("duration"), duration}});
}

BrowserVideoReply failed() { return BrowserVideoReply{BrowserVideoReply::Delivery::failed, {}}; }

// What a family's browsers put after "org.mpris.MediaPlayer2." in their bus
// names.
QStringList busNamePrefixes(WebBrowserFamily family) {
    switch (family) {
        case WebBrowserFamily::chromium:
            return {QStringLiteral("chromium"), QStringLiteral("chrome"),  QStringLiteral("brave"),
                    QStringLiteral("edge"),     QStringLiteral("vivaldi"), QStringLiteral("opera")};
        case WebBrowserFamily::firefox:
            return {QStringLiteral("firefox")};
    }
    return {};
}

// Unwraps a value that arrived as a D-Bus variant or a marshalled map.
QVariant plain(const QVariant& value) {
    if (value.userType() == qMetaTypeId<QDBusVariant>()) {
        return value.value<QDBusVariant>().variant();
    }
    return value;
}

QVariantMap asMap(const QVariant& value) {
    const QVariant unwrapped = plain(value);
    if (unwrapped.userType() == qMetaTypeId<QDBusArgument>()) {
        QVariantMap map;
        unwrapped.value<QDBusArgument>() >> map;
        return map;
    }
    return unwrapped.toMap();
}

std::optional<qint64> asInteger(const QVariant& value) {
    const QVariant unwrapped = plain(value);
    bool ok = false;
    const qint64 number = unwrapped.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return number;
}

// The reply's first argument, or nothing when the call failed.
std::optional<QVariant> firstArgument(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
    return reply.arguments().constFirst();
}

// The playing track as the player describes it.
struct Track {
    bool canSeek = false;
    QDBusObjectPath id;
    std::optional<qint64> lengthMicroseconds;
    std::optional<qint64> positionMicroseconds;
};

Track readTrack(const QVariantMap& properties) {
    Track track;
    track.canSeek = plain(properties.value(QStringLiteral("CanSeek"))).toBool();
    const QVariantMap metadata = asMap(properties.value(QStringLiteral("Metadata")));
    track.id = plain(metadata.value(QStringLiteral("mpris:trackid"))).value<QDBusObjectPath>();
    if (metadata.contains(QStringLiteral("mpris:length"))) {
        track.lengthMicroseconds = asInteger(metadata.value(QStringLiteral("mpris:length")));
    }
    if (properties.contains(QStringLiteral("Position"))) {
        track.positionMicroseconds = asInteger(properties.value(QStringLiteral("Position")));
    }
    return track;
}

QDBusMessage methodCall(const QString& service, const QString& path, const QString& interface, const QString& method,
                        const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return message;
}

}  // namespace

QCoro::Task<BrowserVideoReply> MprisBrowserVideoChannel::send(QString desktopId, BrowserVideoRequest request) {
    if (!bus_.isConnected() || !webBrowserFamily(desktopId)) co_return failed();
    if (request.operation == QLatin1String("begin")) {
        auto beginning = begin(desktopId, request.token);
        co_return co_await beginning;
    }
    if (request.operation == QLatin1String("seek") && request.target) {
        auto seeking = seek(request.token, *request.target);
        co_return co_await seeking;
    }
    if (request.operation == QLatin1String("end") && session_ && session_->token == request.token) {
        const Session ended = *session_;
        session_.reset();
        co_return state(ended.time, ended.duration);
    }
    co_return pageError("changed");
}

QCoro::Task<std::optional<QString>> MprisBrowserVideoChannel::findPlayer(QString desktopId) {
    const QDBusMessage listNames =
        methodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                   QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListNames"), {});
    QDBusPendingCall listing = bus_.asyncCall(listNames, callTimeoutMs);
    const QDBusMessage listed = co_await listing;
    const auto list = firstArgument(listed);
    if (!list) co_return std::nullopt;

    QString entry = desktopId;
    if (entry.endsWith(QLatin1String(".desktop"))) entry.chop(8);
    const QStringList prefixes = busNamePrefixes(*webBrowserFamily(desktopId));

    // Best first: named by its desktop entry (the same browser), then by its
    // bus name (a browser of the same family), playing ones before others.
    std::optional<QString> best;
    int bestRank = -1;
    QStringList names = list->toStringList();
    names.sort();  // the same choice every time among equals
    for (const QString& name : names) {
        if (!name.startsWith(mprisPrefix)) continue;
        const QDBusMessage get =
            methodCall(name, mprisPath, propertiesInterface, QStringLiteral("GetAll"), {QString(rootInterface)});
        QDBusPendingCall getting = bus_.asyncCall(get, callTimeoutMs);
        const QDBusMessage rootReply = co_await getting;
        const auto root = firstArgument(rootReply);
        const QString desktopEntry =
            root ? plain(asMap(*root).value(QStringLiteral("DesktopEntry"))).toString() : QString();
        const QString suffix = name.mid(mprisPrefix.size());
        const bool namedByEntry = !desktopEntry.isEmpty() && desktopEntry == entry;
        const bool namedByBus = std::any_of(prefixes.begin(), prefixes.end(),
                                            [&suffix](const QString& prefix) { return suffix.startsWith(prefix); });
        if (!namedByEntry && !namedByBus) continue;

        const QDBusMessage status = methodCall(name, mprisPath, propertiesInterface, QStringLiteral("Get"),
                                               {QString(playerInterface), QStringLiteral("PlaybackStatus")});
        QDBusPendingCall asking = bus_.asyncCall(status, callTimeoutMs);
        const QDBusMessage statusReply = co_await asking;
        const auto playback = firstArgument(statusReply);
        const bool playing = playback && plain(*playback).toString() == QLatin1String("Playing");
        const int rank = (namedByEntry ? 2 : 0) + (playing ? 1 : 0);
        if (rank > bestRank) {
            best = name;
            bestRank = rank;
        }
    }
    co_return best;
}

QCoro::Task<BrowserVideoReply> MprisBrowserVideoChannel::begin(QString desktopId, QString token) {
    session_.reset();
    auto finding = findPlayer(desktopId);
    const auto player = co_await finding;
    if (!player) co_return pageError("noVideo");

    const QDBusMessage getAll =
        methodCall(*player, mprisPath, propertiesInterface, QStringLiteral("GetAll"), {QString(playerInterface)});
    QDBusPendingCall reading = bus_.asyncCall(getAll, callTimeoutMs);
    const QDBusMessage reply = co_await reading;
    const auto properties = firstArgument(reply);
    if (!properties) co_return pageError("noVideo");

    const Track track = readTrack(asMap(*properties));
    if (!track.canSeek || track.id.path().isEmpty() || !track.lengthMicroseconds || *track.lengthMicroseconds <= 0 ||
        !track.positionMicroseconds) {
        co_return pageError("notSeekable");
    }
    const double duration = double(*track.lengthMicroseconds) / 1e6;
    const double time = double(*track.positionMicroseconds) / 1e6;
    session_ = Session{token, *player, track.id, duration, time};
    co_return state(time, duration);
}

QCoro::Task<BrowserVideoReply> MprisBrowserVideoChannel::seek(QString token, double target) {
    if (!session_ || session_->token != token) co_return pageError("changed");
    const Session session = *session_;

    // The player must still be there, on the same track.
    const QDBusMessage getAll = methodCall(session.busName, mprisPath, propertiesInterface, QStringLiteral("GetAll"),
                                           {QString(playerInterface)});
    QDBusPendingCall reading = bus_.asyncCall(getAll, callTimeoutMs);
    const QDBusMessage reply = co_await reading;
    const auto properties = firstArgument(reply);
    if (!properties || readTrack(asMap(*properties)).id != session.track) co_return pageError("changed");

    const double clamped = std::isfinite(target) ? std::clamp(target, 0.0, session.duration) : 0.0;
    const QDBusMessage setPosition =
        methodCall(session.busName, mprisPath, playerInterface, QStringLiteral("SetPosition"),
                   {QVariant::fromValue(session.track), QVariant::fromValue(qint64(std::llround(clamped * 1e6)))});
    QDBusPendingCall setting = bus_.asyncCall(setPosition, callTimeoutMs);
    const QDBusMessage set = co_await setting;
    if (set.type() != QDBusMessage::ReplyMessage) co_return failed();
    // Players publish the new position only once they have moved there; the
    // target is where the video now is.
    if (session_ && session_->token == token) session_->time = clamped;
    co_return state(clamped, session.duration);
}

}  // namespace glidra::linux_platform
