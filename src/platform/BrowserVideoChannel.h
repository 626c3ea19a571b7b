#pragma once

#include <QByteArray>
#include <QCoro/QCoroTask>
#include <QString>

#include <optional>

namespace glidra {

// One request to the video of the page the user sees.
struct BrowserVideoRequest {
    // "begin" opens a scrub session on the page's video, "seek" moves it to
    // `target` seconds, "end" closes the session.
    QString operation;
    // The scrub session; a session that no longer matches answers "changed".
    QString token;
    std::optional<double> target;

    friend bool operator==(const BrowserVideoRequest&, const BrowserVideoRequest&) = default;
};

// The answer, as the transport delivered it.
struct BrowserVideoReply {
    enum class Delivery {
        answered,          // `body` holds the page's answer
        browserNotFront,   // the browser was no longer in front
        notFound,          // no window or tab to send it to
        notAuthorized,     // the browser does not let this program control it
        scriptingRefused,  // the browser refuses the program's page scripts
        failed,            // anything else, a browser that did not answer in time included
    };

    Delivery delivery = Delivery::failed;
    // The page's answer as JSON text: {"time": seconds, "duration": seconds},
    // or {"error": "noVideo" | "notSeekable" | "changed" | ...}.
    QByteArray body;

    friend bool operator==(const BrowserVideoReply&, const BrowserVideoReply&) = default;
};

// Carries requests to the video playing in a browser's front page and
// brings its answers back. Bounded by a few seconds per request; every text
// travels as data.
class BrowserVideoChannel {
public:
    virtual ~BrowserVideoChannel() = default;

    // `desktopId` names a supported browser (see WebBrowsers.h).
    virtual QCoro::Task<BrowserVideoReply> send(QString desktopId, BrowserVideoRequest request) = 0;
};

}  // namespace glidra
