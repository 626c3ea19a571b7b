#pragma once

#include "common/Completion.h"
#include "platform/BrowserPageSource.h"

#include <QStringList>

#include <vector>

namespace glidra::sim {

// A browser's front tab as tests set it. Every read answers on a later turn
// of the event loop with the reply set at that moment; while reads are held,
// they wait until released, so a test can change the world during a read.
class SimBrowserPageSource final : public BrowserPageSource {
public:
    QCoro::Task<BrowserPageReply> readFrontTab(QString desktopId) override;

    // The front tab: later reads find this page.
    void setPage(const QString& title, const QString& address);
    // Later reads answer this, whatever it is.
    void setReply(BrowserPageReply reply) { reply_ = std::move(reply); }

    void setHoldsReads(bool holds) { holdsReads_ = holds; }
    // Answers every held read with the current reply.
    void releaseReads();
    std::size_t heldReads() const { return held_.size(); }

    // The desktop id of every read, in order.
    const QStringList& reads() const { return reads_; }

private:
    BrowserPageReply reply_{BrowserPageReply::Outcome::noPage, std::nullopt, std::nullopt};
    bool holdsReads_ = false;
    std::vector<Completion<BrowserPageReply>> held_;
    QStringList reads_;
};

}  // namespace glidra::sim
