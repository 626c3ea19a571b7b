#include "platform/sim/SimBrowserVideoChannel.h"

#include "platform/sim/SimDelivery.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace glidra::sim {

namespace {

BrowserVideoReply pageError(const char* code) {
    return BrowserVideoReply{BrowserVideoReply::Delivery::answered,
                             QJsonDocument(QJsonObject{{QStringLiteral("error"), QLatin1String(code)}}).toJson()};
}

}  // namespace

QCoro::Task<BrowserVideoReply> SimBrowserVideoChannel::send(QString desktopId, BrowserVideoRequest request) {
    sent_.push_back(Sent{desktopId, request});
    BrowserVideoReply reply;
    if (!scripted_.empty()) {
        reply = std::move(scripted_.front());
        scripted_.pop_front();
    } else {
        reply = answer(request);
    }
    Completion<BrowserVideoReply> delivered;
    if (holdsReplies_) {
        held_.emplace_back(delivered, std::move(reply));
    } else {
        resolveLater(delivered, std::move(reply));
    }
    co_return co_await delivered;
}

BrowserVideoReply SimBrowserVideoChannel::answer(const BrowserVideoRequest& request) {
    if (!video_) return pageError("noVideo");
    if (request.operation == QLatin1String("begin")) {
        if (!video_->seekable) return pageError("notSeekable");
        session_ = request.token;
        return state();
    }
    if (session_ != request.token) return pageError("changed");
    if (request.operation == QLatin1String("seek") && request.target) {
        video_->time = std::clamp(*request.target, 0.0, video_->duration);
        return state();
    }
    if (request.operation == QLatin1String("end")) {
        session_.reset();
        return state();
    }
    return pageError("unknownOperation");
}

BrowserVideoReply SimBrowserVideoChannel::state() const {
    const QJsonObject object{{QStringLiteral("time"), video_->time}, {QStringLiteral("duration"), video_->duration}};
    return BrowserVideoReply{BrowserVideoReply::Delivery::answered, QJsonDocument(object).toJson()};
}

void SimBrowserVideoChannel::setVideo(std::optional<Video> video) {
    video_ = video;
    session_.reset();
}

void SimBrowserVideoChannel::releaseReplies() {
    auto held = std::move(held_);
    held_.clear();
    for (auto& [delivered, reply] : held) resolveLater(delivered, std::move(reply));
}

}  // namespace glidra::sim
