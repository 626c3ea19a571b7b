#include "executors/BrowserPageInfoReader.h"

#include "platform/WebBrowsers.h"

namespace glidra {

QCoro::Task<Result<BrowserPage, BrowserPageReadError>> BrowserPageInfoReader::read(QString bundleIdentifier) {
    if (!webBrowserFamily(bundleIdentifier)) co_return Failure{BrowserPageReadError::unsupportedBrowser};
    const auto turn = co_await gate_.enter();
    auto reading = source_.readFrontTab(bundleIdentifier);
    const BrowserPageReply reply = co_await reading;
    co_return parseReply(reply);
}

Result<BrowserPage, BrowserPageReadError> BrowserPageInfoReader::parseReply(const BrowserPageReply& reply) {
    using Outcome = BrowserPageReply::Outcome;
    switch (reply.outcome) {
        case Outcome::page:
            break;
        case Outcome::changed:
            return Failure{BrowserPageReadError::changed};
        case Outcome::noPage:
        case Outcome::notFound:
            return Failure{BrowserPageReadError::noPage};
        case Outcome::notAuthorized:
            return Failure{BrowserPageReadError::automation};
        case Outcome::failed:
            return Failure{BrowserPageReadError::failed};
    }
    if (!reply.title || !reply.address) return Failure{BrowserPageReadError::failed};
    if (reply.address->trimmed().isEmpty()) return Failure{BrowserPageReadError::noPage};
    return BrowserPage{*reply.title, *reply.address};
}

}  // namespace glidra
