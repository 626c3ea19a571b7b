#pragma once

#include "common/Result.h"

#include <QCoro/QCoroTask>
#include <QString>

namespace glidra {

// The tab the user sees in a browser.
struct BrowserPage {
    QString title;
    QString address;

    friend bool operator==(const BrowserPage&, const BrowserPage&) = default;
};

enum class BrowserPageReadError { unsupportedBrowser, noPage, automation, changed, failed };

// Reads the front tab of a browser; what the clipboard executor holds.
class BrowserPageReading {
public:
    virtual ~BrowserPageReading() = default;

    // `bundleIdentifier` is the browser's application identifier.
    virtual QCoro::Task<Result<BrowserPage, BrowserPageReadError>> read(QString bundleIdentifier) = 0;
};

}  // namespace glidra
