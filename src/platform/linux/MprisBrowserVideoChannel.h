#pragma once

#include "platform/BrowserVideoChannel.h"

#include <QDBusConnection>
#include <QDBusObjectPath>

#include <optional>

namespace glidra::linux_platform {

// Scrubs the video a browser publishes as an MPRIS media player on the
// session bus: the player of the front browser is the one whose desktop
// entry names it, else one whose bus name carries the name of a browser of
// its family, playing ones first. "begin" reads the position and
// length of the player's track, "seek" sets the position within that same
// track, "end" forgets it. Answers take the form of the page's answers, so
// the bridge reads both alike. Every call is bounded by callTimeout.
class MprisBrowserVideoChannel final : public BrowserVideoChannel {
public:
    explicit MprisBrowserVideoChannel(QDBusConnection bus) : bus_(std::move(bus)) {}

    QCoro::Task<BrowserVideoReply> send(QString desktopId, BrowserVideoRequest request) override;

    static constexpr int callTimeoutMs = 3000;

private:
    // The one scrub session the scrubber runs at a time.
    struct Session {
        QString token;
        QString busName;
        QDBusObjectPath track;
        double duration = 0;
        double time = 0;
    };

    QCoro::Task<BrowserVideoReply> begin(QString desktopId, QString token);
    QCoro::Task<BrowserVideoReply> seek(QString token, double target);
    QCoro::Task<std::optional<QString>> findPlayer(QString desktopId);

    QDBusConnection bus_;
    std::optional<Session> session_;
};

}  // namespace glidra::linux_platform
