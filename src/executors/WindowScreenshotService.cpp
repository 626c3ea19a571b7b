#include "executors/WindowScreenshotService.h"

#include "common/Localized.h"
#include "platform/Pasteboard.h"

#include <QPointer>

namespace glidra {

namespace {

HUDNotice startedNotice() {
    return HUDNotice{localized(GLIDRA_TEXT("点击选择窗口 · Esc 取消")), QStringLiteral("camera.viewfinder"),
                     HUDNotice::Kind::information};
}

HUDNotice notDoneNotice() {
    return HUDNotice{localized(GLIDRA_TEXT("窗口截图已取消或未完成")), QStringLiteral("camera"),
                     HUDNotice::Kind::information};
}

}  // namespace

void WindowScreenshotService::readClipboardFrom(Platform& platform, const Pasteboard& pasteboard) {
    platform.clipboardChangeCount = [&pasteboard] { return pasteboard.changeCount(); };
    platform.clipboardHasImage = [&pasteboard] { return pasteboard.hasImage(); };
}

WindowScreenshotService::WindowScreenshotService(InteractiveScreenshot& tool, Platform platform, QObject* parent)
    : QObject(parent), tool_(tool), platform_(std::move(platform)) {}

WindowScreenshotService::~WindowScreenshotService() = default;

QCoro::Task<HUDNotice> WindowScreenshotService::start() {
    if (operationID_) co_return startedNotice();

    const QUuid operation = QUuid::createUuid();
    const std::int64_t changeCount = platform_.clipboardChangeCount();
    operationID_ = operation;
    platform_.setSelecting(true);
    const QPointer<WindowScreenshotService> self(this);
    InteractiveScreenshot::Finished finished = [self, operation, changeCount](int status) {
        if (self) self->finish(operation, status, changeCount);
    };
    auto launching = tool_.launch(std::move(finished));
    std::unique_ptr<InteractiveScreenshot::Selection> selection = co_await launching;
    if (!self || operationID_ != operation) {
        // Cancelled while the tool started: it ends unseen.
        if (selection && selection->isRunning()) selection->terminate();
        co_return notDoneNotice();
    }
    if (!selection) {
        operationID_.reset();
        platform_.setSelecting(false);
        const HUDNotice failed{localized(GLIDRA_TEXT("无法打开窗口截图选择")), QStringLiteral("camera"),
                               HUDNotice::Kind::error};
        platform_.report(failed);
        co_return failed;
    }
    selection_ = std::move(selection);
    platform_.report(startedNotice());
    co_return startedNotice();
}

void WindowScreenshotService::finish(QUuid operation, int status, std::int64_t changeCount) {
    // A selection that was cancelled, or replaced by a newer one, ends unseen.
    if (operationID_ != operation) return;
    operationID_.reset();
    selection_.reset();
    platform_.setSelecting(false);
    // Escape, or a click on nothing, leaves the clipboard as it was.
    if (status == 0 && platform_.clipboardChangeCount() != changeCount && platform_.clipboardHasImage()) {
        platform_.report(
            HUDNotice{localized(GLIDRA_TEXT("窗口截图已复制")), QStringLiteral("checkmark"), HUDNotice::Kind::success});
    } else {
        platform_.report(notDoneNotice());
    }
}

void WindowScreenshotService::cancel() {
    if (!operationID_) return;
    operationID_.reset();
    auto selection = std::move(selection_);
    if (selection && selection->isRunning()) selection->terminate();
    selection.reset();  // drops its finished handler
    platform_.setSelecting(false);
}

}  // namespace glidra
