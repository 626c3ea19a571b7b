#pragma once

#include "common/Completion.h"
#include "platform/BrowserVideoChannel.h"

#include <deque>
#include <optional>
#include <vector>

namespace glidra::sim {

// The video of a browser's front page, answering requests as the page's
// script does: "begin" opens a session for its token, "seek" moves the
// session's video, "end" closes it; a token that is not the open session's
// answers "changed". Tests may script the next replies instead (any delivery
// or body), and may hold replies until released to see what arrives while a
// request is in flight. Every reply arrives on a later turn of the event
// loop.
class SimBrowserVideoChannel final : public BrowserVideoChannel {
public:
    struct Video {
        double time = 0;
        double duration = 0;
        bool seekable = true;
    };

    struct Sent {
        QString desktopId;
        BrowserVideoRequest request;
        friend bool operator==(const Sent&, const Sent&) = default;
    };

    QCoro::Task<BrowserVideoReply> send(QString desktopId, BrowserVideoRequest request) override;

    // The page's video; none means the page has none. Replacing it ends the
    // open session, as a page that moves to another video does.
    void setVideo(std::optional<Video> video);
    const std::optional<Video>& video() const { return video_; }
    const std::optional<QString>& openSession() const { return session_; }

    // The next requests get these replies, in order, before the model
    // answers again.
    void scriptReply(BrowserVideoReply reply) { scripted_.push_back(std::move(reply)); }

    void setHoldsReplies(bool holds) { holdsReplies_ = holds; }
    void releaseReplies();
    std::size_t heldReplies() const { return held_.size(); }

    const std::vector<Sent>& sent() const { return sent_; }

private:
    BrowserVideoReply answer(const BrowserVideoRequest& request);
    BrowserVideoReply state() const;

    std::optional<Video> video_;
    std::optional<QString> session_;
    std::deque<BrowserVideoReply> scripted_;
    bool holdsReplies_ = false;
    std::vector<std::pair<Completion<BrowserVideoReply>, BrowserVideoReply>> held_;
    std::vector<Sent> sent_;
};

}  // namespace glidra::sim
