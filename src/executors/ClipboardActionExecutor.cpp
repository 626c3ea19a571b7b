#include "executors/ClipboardActionExecutor.h"

#include "common/LineBreaks.h"
#include "common/Localized.h"
#include "platform/FrontmostApplication.h"
#include "platform/Pasteboard.h"
#include "platform/WebBrowsers.h"

#include <QPointer>

#include <algorithm>

namespace glidra {

namespace {

HUDNotice notice(const char* text, HUDNotice::Kind kind) {
    return HUDNotice{localized(text), QStringLiteral("doc.on.clipboard"), kind};
}

HUDNotice readErrorNotice(BrowserPageReadError error) {
    using K = HUDNotice::Kind;
    switch (error) {
        case BrowserPageReadError::unsupportedBrowser:
            return notice(GLIDRA_TEXT("请先切到 Chrome、Chromium 或 Firefox 网页"), K::information);
        case BrowserPageReadError::noPage:
            return notice(GLIDRA_TEXT("当前没有可复制的网页"), K::information);
        case BrowserPageReadError::automation:
            return notice(
                GLIDRA_TEXT("请开启桌面辅助技术，或以 --force-renderer-accessibility 启动 Chrome，让 Glidra 读取网页"),
                K::error);
        case BrowserPageReadError::changed:
            return notice(GLIDRA_TEXT("当前页面已变化，已取消复制"), K::information);
        case BrowserPageReadError::failed:
            break;
    }
    return notice(GLIDRA_TEXT("无法读取当前网页，请重试"), K::error);
}

}  // namespace

ClipboardActionExecutor::Platform ClipboardActionExecutor::platform(const FrontmostApplication& frontmost,
                                                                    Pasteboard& pasteboard) {
    return Platform{
        [&frontmost] { return frontmost.bundleIdentifier(); },
        [&pasteboard] { return pasteboard.text(); },
        [&pasteboard] { return pasteboard.changeCount(); },
        [&pasteboard](const QString& text) { return pasteboard.writeText(text); },
    };
}

ClipboardActionExecutor::ClipboardActionExecutor(std::unique_ptr<BrowserPageReading> reader, Platform platform,
                                                 QObject* parent)
    : QObject(parent), reader_(std::move(reader)), platform_(std::move(platform)) {}

ClipboardActionExecutor::~ClipboardActionExecutor() = default;

QCoro::Task<std::optional<HUDNotice>> ClipboardActionExecutor::execute(GestureAction action,
                                                                       CancellationToken cancellation) {
    switch (action) {
        case GestureAction::clipboardPlainText:
            co_return plainText();
        case GestureAction::copyPageLink:
        case GestureAction::copyPageTitleAndLink: {
            auto copying = copyPage(action, cancellation);
            co_return co_await copying;
        }
        default:
            co_return std::nullopt;
    }
}

HUDNotice ClipboardActionExecutor::plainText() {
    const auto text = platform_.readText();
    if (!text || text->isEmpty()) return notice(GLIDRA_TEXT("剪贴板中没有文字"), HUDNotice::Kind::error);
    if (!platform_.writeText(*text)) return notice(GLIDRA_TEXT("无法更新剪贴板"), HUDNotice::Kind::error);
    return notice(GLIDRA_TEXT("已去掉文字格式"), HUDNotice::Kind::success);
}

QCoro::Task<HUDNotice> ClipboardActionExecutor::copyPage(GestureAction action, CancellationToken cancellation) {
    const auto application = platform_.currentApplication();
    if (!application || !webBrowserFamily(*application)) {
        co_return readErrorNotice(BrowserPageReadError::unsupportedBrowser);
    }
    if (isReadingPage_) co_return notice(GLIDRA_TEXT("正在复制网页信息"), HUDNotice::Kind::information);

    isReadingPage_ = true;
    const std::int64_t changeCount = platform_.changeCount();
    QPointer<ClipboardActionExecutor> self(this);
    auto reading = reader_->read(*application);
    const auto page = co_await reading;
    // Nothing of ours is left to answer to: the notice goes nowhere.
    if (!self) co_return HUDNotice{};
    isReadingPage_ = false;

    if (!page) co_return readErrorNotice(page.error());
    co_return finishCopy(action, page.value(), *application, changeCount, cancellation);
}

HUDNotice ClipboardActionExecutor::finishCopy(GestureAction action, const BrowserPage& page, const QString& application,
                                              std::int64_t changeCount, const CancellationToken& cancellation) const {
    using K = HUDNotice::Kind;
    if (cancellation.isCancelled() || platform_.currentApplication() != application) {
        return notice(GLIDRA_TEXT("前台应用已变化，已取消复制"), K::information);
    }
    if (platform_.changeCount() != changeCount) {
        return notice(GLIDRA_TEXT("剪贴板已更新，已取消本次复制"), K::information);
    }
    const QString address = page.address.trimmed();
    if (address.isEmpty() || std::any_of(address.begin(), address.end(), isLineBreak)) {
        return notice(GLIDRA_TEXT("当前页面没有可复制的网址"), K::information);
    }
    // Runs of white space and line breaks become one blank.
    const QString title = page.title.simplified();
    const bool withTitle = action == GestureAction::copyPageTitleAndLink;
    const QString text = withTitle && !title.isEmpty() ? title + QLatin1Char('\n') + address : address;
    if (!platform_.writeText(text)) return notice(GLIDRA_TEXT("无法更新剪贴板"), K::error);
    return withTitle ? notice(GLIDRA_TEXT("已复制标题和链接"), K::success)
                     : notice(GLIDRA_TEXT("已复制网页链接"), K::success);
}

}  // namespace glidra
