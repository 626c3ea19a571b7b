#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>

#include <optional>
#include <vector>

namespace glidra::test {

// A media player as browsers publish one over MPRIS: a track with an
// identifier, a length and a position, which it moves on SetPosition with the
// current track's identifier (and ignores for any other, as MPRIS
// requires).
class FakeMprisPlayer : public QObject {
    Q_OBJECT

public:
    struct SetPositionCall {
        QString trackId;
        qlonglong position;
        friend bool operator==(const SetPositionCall&, const SetPositionCall&) = default;
    };

    QString desktopEntry;
    QString playbackStatus = QStringLiteral("Playing");
    bool canSeek = true;
    QString trackId = QStringLiteral("/org/chromium/MediaPlayer2/TrackList/Track1");
    std::optional<qlonglong> length = 60'000'000;
    qlonglong position = 10'000'000;
    std::vector<SetPositionCall> setPositionCalls;

    // Registers the player as org.mpris.MediaPlayer2.<suffix> on `bus`.
    bool publish(QDBusConnection bus, const QString& suffix);

    QVariantMap metadata() const;
};

class FakeMprisRoot final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QString Identity READ identity)

public:
    explicit FakeMprisRoot(FakeMprisPlayer* player) : QDBusAbstractAdaptor(player), player_(player) {}
    QString desktopEntry() const { return player_->desktopEntry; }
    QString identity() const { return QStringLiteral("Fake"); }

private:
    FakeMprisPlayer* player_;
};

class FakeMprisPlayerInterface final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanSeek READ canSeek)

public:
    explicit FakeMprisPlayerInterface(FakeMprisPlayer* player) : QDBusAbstractAdaptor(player), player_(player) {}
    QString playbackStatus() const { return player_->playbackStatus; }
    QVariantMap metadata() const { return player_->metadata(); }
    qlonglong position() const { return player_->position; }
    bool canSeek() const { return player_->canSeek; }

public Q_SLOTS:
    void SetPosition(const QDBusObjectPath& track, qlonglong position);

private:
    FakeMprisPlayer* player_;
};

inline bool FakeMprisPlayer::publish(QDBusConnection bus, const QString& suffix) {
    new FakeMprisRoot(this);
    new FakeMprisPlayerInterface(this);
    return bus.registerObject(QStringLiteral("/org/mpris/MediaPlayer2"), this, QDBusConnection::ExportAdaptors) &&
           bus.registerService(QStringLiteral("org.mpris.MediaPlayer2.") + suffix);
}

inline QVariantMap FakeMprisPlayer::metadata() const {
    QVariantMap map{{QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackId))},
                    {QStringLiteral("xesam:title"), QStringLiteral("A \"video\"")}};
    if (length) map.insert(QStringLiteral("mpris:length"), *length);
    return map;
}

inline void FakeMprisPlayerInterface::SetPosition(const QDBusObjectPath& track, qlonglong position) {
    player_->setPositionCalls.push_back({track.path(), position});
    if (track.path() == player_->trackId && position >= 0 && (!player_->length || position <= *player_->length)) {
        player_->position = position;
    }
}

}  // namespace glidra::test
