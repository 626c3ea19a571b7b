#include "executors/ForceQuitMenuExecutor.h"

#include "common/Localized.h"

#include <QPointer>

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

const QString kSymbol = QStringLiteral("stop.circle");

HUDNotice notice(const char* text, HUDNotice::Kind kind) { return {localized(text), kSymbol, kind}; }

bool isForceQuitTitle(QString title) {
    title.remove(QStringLiteral("…")).remove(QStringLiteral("..."));
    title = title.trimmed();
    const QStringList names = ForceQuitMenuExecutor::forceQuitNames();
    return std::any_of(names.begin(), names.end(),
                       [&](const QString& name) { return title.compare(name, Qt::CaseInsensitive) == 0; });
}

std::optional<long long> integerAttribute(const AccessibilityElement& element, const QString& name) {
    const std::optional<double> value = element.numberAttribute(name);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return static_cast<long long>(*value);
}

// Closes a menu that was opened but not used.
void cancelMenu(const AccessibilityElementRef& menu) {
    for (const AccessibilityElementRef& child : menu->elementsAttribute(QStringLiteral("AXChildren"))) {
        if (child) child->performAction(QStringLiteral("AXCancel"));
    }
}

}  // namespace

QStringList ForceQuitMenuExecutor::forceQuitNames() {
    return {QStringLiteral("Force Quit"), QStringLiteral("强制退出"), QStringLiteral("強制結束"),
            QStringLiteral("強制退出"),   QStringLiteral("強制終了"), QStringLiteral("강제 종료")};
}

QCoro::Task<HUDNotice> ForceQuitMenuExecutor::openForceQuitWindow(CancellationToken token) {
    if (isForceQuitWindowOpen()) co_return notice(GLIDRA_TEXT("已打开强制退出窗口"), HUDNotice::Kind::success);
    if (forceQuitOpening_) co_return notice(GLIDRA_TEXT("正在打开强制退出窗口"), HUDNotice::Kind::information);

    forceQuitOpening_ = true;
    const QPointer<ForceQuitMenuExecutor> self(this);
    const HUDNotice result = co_await attempt(std::move(token));
    if (self) forceQuitOpening_ = false;
    co_return result;
}

QCoro::Task<HUDNotice> ForceQuitMenuExecutor::attempt(CancellationToken token) {
    const FrontApplication front = workspace_.frontmostApplication();
    if (!front.application) co_return notice(GLIDRA_TEXT("无法获取前台应用"), HUDNotice::Kind::error);

    const QPointer<ForceQuitMenuExecutor> self(this);
    const std::optional<QString> failure = co_await pressForceQuitItem(front.application->processIdentifier, token);
    if (failure) co_return HUDNotice{*failure, kSymbol, HUDNotice::Kind::error};
    if (!self) co_return notice(GLIDRA_TEXT("已取消打开"), HUDNotice::Kind::information);

    for (int poll = 0; poll < kPolls; ++poll) {
        if (isForceQuitWindowOpen()) co_return notice(GLIDRA_TEXT("已打开强制退出窗口"), HUDNotice::Kind::success);
        const bool slept = co_await scheduler_.sleep(kPollInterval, token);
        if (!slept || !self) co_return notice(GLIDRA_TEXT("已取消打开"), HUDNotice::Kind::information);
    }
    co_return notice(GLIDRA_TEXT("未能打开，请尝试系统监视器"), HUDNotice::Kind::error);
}

QCoro::Task<std::optional<QString>> ForceQuitMenuExecutor::pressForceQuitItem(std::int32_t processIdentifier,
                                                                              CancellationToken token) {
    const AccessibilityElementRef application = accessibility_.applicationElement(processIdentifier);
    const AccessibilityElementRef menuBar = application->elementAttribute(QStringLiteral("AXMenuBar"));
    const AccessibilityElementList menus =
        menuBar ? menuBar->elementsAttribute(QStringLiteral("AXChildren")) : AccessibilityElementList{};
    if (menus.empty() || !menus.front()) co_return localized(GLIDRA_TEXT("无法读取应用菜单"));

    const AccessibilityElementRef menu = menus.front();
    if (!menu->performAction(QStringLiteral("AXPress"))) co_return localized(GLIDRA_TEXT("无法打开应用菜单"));

    const QPointer<ForceQuitMenuExecutor> self(this);
    const bool slept = co_await scheduler_.sleep(kMenuDelay, std::move(token));
    if (!slept || !self) {
        cancelMenu(menu);
        co_return localized(GLIDRA_TEXT("已取消打开"));
    }

    const AccessibilityElementRef item = findMenuItem(menu, 0);
    if (!item) {
        cancelMenu(menu);
        co_return localized(GLIDRA_TEXT("应用菜单中未找到强制退出窗口"));
    }
    if (!item->performAction(QStringLiteral("AXPress"))) {
        cancelMenu(menu);
        co_return localized(GLIDRA_TEXT("无法执行强制退出菜单"));
    }
    co_return std::nullopt;
}

AccessibilityElementRef ForceQuitMenuExecutor::findMenuItem(const AccessibilityElementRef& element, int depth) {
    if (!element || depth > kMaximumDepth) return nullptr;

    const QString title = element->stringAttribute(QStringLiteral("AXTitle")).value_or(QString());
    const std::optional<long long> key = integerAttribute(*element, QStringLiteral("AXMenuItemCmdVirtualKey"));
    const std::optional<long long> modifiers = integerAttribute(*element, QStringLiteral("AXMenuItemCmdModifiers"));
    bool matches = false;
    if (key && modifiers) {
        matches = *key == kEscapeKey && *modifiers == kOptionModifier;
    } else if (key) {
        matches = *key == kEscapeKey && isForceQuitTitle(title);
    } else if (modifiers) {
        matches = *modifiers == kOptionModifier && isForceQuitTitle(title);
    } else {
        matches = isForceQuitTitle(title);
    }
    if (matches) return element;

    const AccessibilityElementList children = element->elementsAttribute(QStringLiteral("AXChildren"));
    const std::size_t count = std::min<std::size_t>(children.size(), kMaximumChildren);
    for (std::size_t i = 0; i < count; ++i) {
        if (AccessibilityElementRef found = findMenuItem(children[i], depth + 1)) return found;
    }
    return nullptr;
}

bool ForceQuitMenuExecutor::isForceQuitWindowOpen() {
    const std::vector<RunningApplication> running = workspace_.runningApplications();
    const auto loginWindow = std::find_if(running.begin(), running.end(), [](const RunningApplication& application) {
        return !application.isTerminated && application.bundleIdentifier == QLatin1String("com.apple.loginwindow");
    });
    if (loginWindow == running.end()) return false;

    const AccessibilityElementRef application = accessibility_.applicationElement(loginWindow->processIdentifier);
    AccessibilityElementList elements = application->elementsAttribute(QStringLiteral("AXWindows"));
    const AccessibilityElementList children = application->elementsAttribute(QStringLiteral("AXChildren"));
    elements.insert(elements.end(), children.begin(), children.end());

    const QStringList names = forceQuitNames();
    return std::any_of(elements.begin(), elements.end(), [&](const AccessibilityElementRef& element) {
        if (!element) return false;
        const QString title = element->stringAttribute(QStringLiteral("AXTitle")).value_or(QString());
        return std::any_of(names.begin(), names.end(),
                           [&](const QString& name) { return title.contains(name, Qt::CaseInsensitive); });
    });
}

}  // namespace glidra
