#pragma once

#include "common/SerialGate.h"
#include "executors/BrowserPageReading.h"
#include "platform/BrowserPageSource.h"

namespace glidra {

// Reads the title and address of the front tab of a supported browser
// through the desktop's page source. Reads are served one at a time, in the
// order they were asked for.
class BrowserPageInfoReader final : public BrowserPageReading {
public:
    explicit BrowserPageInfoReader(BrowserPageSource& source) : source_(source) {}

    // Any application but a supported browser fails at once with
    // unsupportedBrowser, without asking anything.
    QCoro::Task<Result<BrowserPage, BrowserPageReadError>> read(QString bundleIdentifier) override;

    // Turns the browser's answer into the page or the error: both texts must
    // be there, and the address must hold more than white space. The texts
    // are returned as they came.
    static Result<BrowserPage, BrowserPageReadError> parseReply(const BrowserPageReply& reply);

private:
    BrowserPageSource& source_;
    SerialGate gate_;
};

}  // namespace glidra
