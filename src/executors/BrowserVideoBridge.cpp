#include "executors/BrowserVideoBridge.h"

#include "platform/WebBrowsers.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace glidra {

QCoro::Task<Result<BrowserVideoState, BrowserVideoError>> BrowserVideoBridge::run(QString bundleIdentifier,
                                                                                  QString operation, QString token,
                                                                                  std::optional<double> target) {
    if (!webBrowserFamily(bundleIdentifier)) co_return Failure{BrowserVideoError::unsupportedBrowser};
    const auto turn = co_await gate_.enter();
    // GCC 12 destroys a temporary argument of a coroutine call twice when the
    // call is inside the co_await expression: start the call first.
    const BrowserVideoRequest request{operation, token, target};
    auto sending = channel_.send(bundleIdentifier, request);
    const BrowserVideoReply reply = co_await sending;
    co_return parseReply(reply);
}

Result<BrowserVideoState, BrowserVideoError> BrowserVideoBridge::parseReply(const BrowserVideoReply& reply) {
    using Delivery = BrowserVideoReply::Delivery;
    switch (reply.delivery) {
        case Delivery::answered:
            break;
        case Delivery::browserNotFront:
            return Failure{BrowserVideoError::changed};
        case Delivery::notFound:
            return Failure{BrowserVideoError::noVideo};
        case Delivery::notAuthorized:
            return Failure{BrowserVideoError::automation};
        case Delivery::scriptingRefused:
            return Failure{BrowserVideoError::javascript};
        case Delivery::failed:
            return Failure{BrowserVideoError::failed};
    }

    const QJsonObject object = QJsonDocument::fromJson(reply.body).object();
    if (const QJsonValue error = object.value(QLatin1String("error")); error.isString()) {
        const QString code = error.toString();
        if (code == QLatin1String("noVideo")) return Failure{BrowserVideoError::noVideo};
        if (code == QLatin1String("notSeekable")) return Failure{BrowserVideoError::notSeekable};
        if (code == QLatin1String("changed")) return Failure{BrowserVideoError::changed};
        return Failure{BrowserVideoError::failed};
    }

    // An answer that is not a state is a failure of the page's script.
    const QJsonValue time = object.value(QLatin1String("time"));
    const QJsonValue duration = object.value(QLatin1String("duration"));
    if (!time.isDouble() || !duration.isDouble()) return Failure{BrowserVideoError::failed};
    const BrowserVideoState state{time.toDouble(), duration.toDouble()};
    const bool valid = std::isfinite(state.time) && state.time >= 0 && std::isfinite(state.duration) &&
                       state.duration > 0 && state.duration < longestDuration && state.time <= state.duration;
    if (!valid) return Failure{BrowserVideoError::notSeekable};
    return state;
}

}  // namespace glidra
