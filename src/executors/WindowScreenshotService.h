#pragma once

#include "notices/HUDNotice.h"
#include "platform/InteractiveScreenshot.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QUuid>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace glidra {

class Pasteboard;

// Lets the user click one window and puts its picture on the clipboard,
// through the desktop's interactive screenshot. While the selection runs the
// trackpad controller ignores touches; when it ends, the clipboard tells
// whether a picture was really taken. At most one selection at a time. Main
// thread only.
class WindowScreenshotService final : public QObject {
    Q_OBJECT

public:
    struct Platform {
        // Sets the trackpad controller's isSelectingScreenshot.
        std::function<void(bool)> setSelecting;
        // Hands a notice to the trackpad controller's screenshot report.
        std::function<void(const HUDNotice&)> report;
        std::function<std::int64_t()> clipboardChangeCount;
        std::function<bool()> clipboardHasImage;
    };
    // The clipboard half of Platform, read from the pasteboard.
    static void readClipboardFrom(Platform& platform, const Pasteboard& pasteboard);

    WindowScreenshotService(InteractiveScreenshot& tool, Platform platform, QObject* parent = nullptr);
    ~WindowScreenshotService() override;

    // Starts a selection (or leaves the running one alone) and returns the
    // notice to show once the tool is known to run or not.
    QCoro::Task<HUDNotice> start();
    // Ends a running selection without a notice.
    void cancel();

    bool isActive() const { return operationID_.has_value(); }

private:
    void finish(QUuid operation, int status, std::int64_t changeCount);

    InteractiveScreenshot& tool_;
    Platform platform_;
    std::unique_ptr<InteractiveScreenshot::Selection> selection_;
    // Present exactly while a selection is under way; matches a tool's end
    // to its selection.
    std::optional<QUuid> operationID_;
};

}  // namespace glidra
