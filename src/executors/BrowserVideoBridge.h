#pragma once

#include "common/SerialGate.h"
#include "executors/BrowserVideoControlling.h"
#include "platform/BrowserVideoChannel.h"

namespace glidra {

// Asks the video of the front page of a supported browser to open a scrub
// session, seek and close it, and turns the answers into a state or an
// error. Requests are served one at a time, in the order they came.
class BrowserVideoBridge final : public BrowserVideoControlling {
public:
    explicit BrowserVideoBridge(BrowserVideoChannel& channel) : channel_(channel) {}

    QCoro::Task<Result<BrowserVideoState, BrowserVideoError>> run(QString bundleIdentifier, QString operation,
                                                                  QString token, std::optional<double> target) override;

    // The state or error that a reply stands for.
    static Result<BrowserVideoState, BrowserVideoError> parseReply(const BrowserVideoReply& reply);

    // One hundred years of 365.25 days: no video lasts longer.
    static constexpr double longestDuration = 3'155'760'000.0;

private:
    BrowserVideoChannel& channel_;
    SerialGate gate_;
};

}  // namespace glidra
