#include "executors/ActionTargetOpener.h"

#include "common/Localized.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace glidra {

namespace {

// Kinds of file whose default handler, when one is installed, executes them.
const char* const kRunnableTypes[] = {
    "application/x-desktop",     "application/x-executable",   "application/x-sharedlib",
    "application/x-shellscript", "application/x-java-archive", "application/x-ms-dos-executable",
    "application/x-msdownload",  "application/x-msi",          "application/vnd.appimage",
    "application/x-ms-shortcut",
};

}  // namespace

bool ActionTargetOpener::runsWhenOpened(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) return false;
    if (info.isExecutable() || info.suffix().compare(QLatin1String("desktop"), Qt::CaseInsensitive) == 0) return true;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    for (const char* runnable : kRunnableTypes) {
        if (type.inherits(QString::fromLatin1(runnable))) return true;
    }
    return false;
}

QCoro::Task<std::optional<HUDNotice>> ActionTargetOpener::openActionTarget(GestureBinding binding) {
    const ActionParameters parameters = binding.resolvedParameters();
    switch (binding.action) {
        case GestureAction::openFile:
        case GestureAction::openFolder:
            co_return co_await openResource(binding.action, parameters.resource);
        case GestureAction::openURL:
            co_return openWebsite(parameters.website);
        case GestureAction::runShortcut:
            if (!parameters.shortcut) {
                co_return HUDNotice{localized(GLIDRA_TEXT("请先选择快捷指令")), symbolName(binding.action),
                                    HUDNotice::Kind::error};
            }
            if (!startShortcut_) co_return std::nullopt;
            co_return co_await startShortcut_(*parameters.shortcut);
        default:
            co_return std::nullopt;
    }
}

QCoro::Task<HUDNotice> ActionTargetOpener::openResource(GestureAction action, std::optional<ResourceTarget> resource) {
    const QString symbol = symbolName(action);
    const HUDNotice notFound{localized(GLIDRA_TEXT("找不到目标，请重新选择")), symbol, HUDNotice::Kind::error};
    if (!resource) co_return notFound;

    // A bookmark still finds an item that moved; where it does not resolve,
    // the stored path is tried.
    std::optional<QString> path;
    if (resource->bookmark) {
        path = bookmarks_.resolve(*resource->bookmark);
        if (path && !QFileInfo::exists(*path)) path.reset();
    }
    if (!path) {
        if (!QFileInfo::exists(resource->path)) co_return notFound;
        path = resource->path;
    }

    bool opened = false;
    if (runsWhenOpened(*path)) {
        auto showing = workspace_.showInFileManager(*path);
        opened = co_await showing;
    } else {
        opened = workspace_.openUrl(QUrl::fromLocalFile(*path));
    }
    if (!opened) {
        co_return HUDNotice{localized(GLIDRA_TEXT("无法打开 %1")).arg(resource->name), symbol, HUDNotice::Kind::error};
    }
    co_return HUDNotice{localized(GLIDRA_TEXT("打开 %1")).arg(resource->name), symbol, HUDNotice::Kind::success};
}

HUDNotice ActionTargetOpener::openWebsite(const std::optional<QString>& website) {
    const QString symbol = QStringLiteral("globe");
    const std::optional<QUrl> url = ActionParameters::websiteURL(website.value_or(QString()));
    if (!url) return {localized(GLIDRA_TEXT("请先填写有效网址")), symbol, HUDNotice::Kind::error};
    if (!workspace_.openUrl(*url)) return {localized(GLIDRA_TEXT("无法打开网页")), symbol, HUDNotice::Kind::error};
    const QString host = url->host();
    return {localized(GLIDRA_TEXT("打开 %1")).arg(host.isEmpty() ? localized(GLIDRA_TEXT("网页")) : host), symbol,
            HUDNotice::Kind::success};
}

}  // namespace glidra
