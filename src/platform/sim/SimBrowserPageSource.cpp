#include "platform/sim/SimBrowserPageSource.h"

#include "platform/sim/SimDelivery.h"

namespace glidra::sim {

QCoro::Task<BrowserPageReply> SimBrowserPageSource::readFrontTab(QString desktopId) {
    reads_.append(desktopId);
    Completion<BrowserPageReply> answer;
    if (holdsReads_) {
        held_.push_back(answer);
    } else {
        resolveLater(answer, reply_);
    }
    co_return co_await answer;
}

void SimBrowserPageSource::setPage(const QString& title, const QString& address) {
    reply_ = BrowserPageReply{BrowserPageReply::Outcome::page, title, address};
}

void SimBrowserPageSource::releaseReads() {
    auto held = std::move(held_);
    held_.clear();
    for (const auto& answer : held) resolveLater(answer, reply_);
}

}  // namespace glidra::sim
