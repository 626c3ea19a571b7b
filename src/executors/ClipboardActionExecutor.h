#pragma once

#include "actions/GestureAction.h"
#include "executors/BrowserPageReading.h"
#include "notices/HUDNotice.h"
#include "platform/Cancellation.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace glidra {

class FrontmostApplication;
class Pasteboard;

// Copies the front browser tab's address, or its title and address, and
// strips the formatting from the clipboard's text. A page read takes time:
// a second read is refused while one runs, and a read whose front
// application or clipboard changed meanwhile copies nothing. Main thread
// only.
class ClipboardActionExecutor final : public QObject {
    Q_OBJECT

public:
    // Everything the executor reads and writes of the system.
    struct Platform {
        // The front application's identifier.
        std::function<std::optional<QString>()> currentApplication;
        // The clipboard's plain text.
        std::function<std::optional<QString>()> readText;
        std::function<std::int64_t()> changeCount;
        // Replaces the clipboard's contents with one text; false on failure.
        std::function<bool(const QString&)> writeText;
    };
    static Platform platform(const FrontmostApplication& frontmost, Pasteboard& pasteboard);

    ClipboardActionExecutor(std::unique_ptr<BrowserPageReading> reader, Platform platform, QObject* parent = nullptr);
    ~ClipboardActionExecutor() override;

    // A notice for copyPageLink, copyPageTitleAndLink and clipboardPlainText;
    // nothing for every other action. `cancellation` is the running action
    // task's: a cancelled copy gives up after the read.
    QCoro::Task<std::optional<HUDNotice>> execute(GestureAction action, CancellationToken cancellation = {});

    bool isReadingPage() const { return isReadingPage_; }

private:
    HUDNotice plainText();
    QCoro::Task<HUDNotice> copyPage(GestureAction action, CancellationToken cancellation);
    HUDNotice finishCopy(GestureAction action, const BrowserPage& page, const QString& application,
                         std::int64_t changeCount, const CancellationToken& cancellation) const;

    std::unique_ptr<BrowserPageReading> reader_;
    Platform platform_;
    bool isReadingPage_ = false;
};

}  // namespace glidra
