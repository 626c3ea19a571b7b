#pragma once

#include <QCoro/QCoroTask>
#include <QString>

#include <optional>

namespace glidra {

// What the browser said about the tab the user sees.
struct BrowserPageReply {
    enum class Outcome {
        page,           // read, and unchanged from start to end of the read
        changed,        // the browser left the front, or the window, tab, address or title changed meanwhile
        noPage,         // no window, or a tab without an address
        notFound,       // the window or tab asked for does not exist
        notAuthorized,  // the browser or the desktop does not let this program read its pages
        failed,         // anything else, a browser that did not answer in time included
    };

    Outcome outcome = Outcome::failed;
    // For a page: the tab's title (empty when it has none) and address, as
    // the browser gave them; missing when the answer was not text.
    std::optional<QString> title;
    std::optional<QString> address;

    friend bool operator==(const BrowserPageReply&, const BrowserPageReply&) = default;
};

// Reads the title and address of the front tab of a browser. The read
// confirms before and after that the browser is in front and that the
// window, the tab, its address and its title stayed the same, so a page
// switched during the read is reported as changed, never returned. Bounded
// by a few seconds; never fails otherwise than through the reply.
class BrowserPageSource {
public:
    virtual ~BrowserPageSource() = default;

    // `desktopId` names a supported browser (see WebBrowsers.h).
    virtual QCoro::Task<BrowserPageReply> readFrontTab(QString desktopId) = 0;
};

}  // namespace glidra
