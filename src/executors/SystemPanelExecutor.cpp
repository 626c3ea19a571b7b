#include "executors/SystemPanelExecutor.h"

#include "common/Localized.h"

#include <algorithm>

namespace glidra {

namespace {

// The processes that own the top-bar items, in the order they are searched.
const char* const kMenuBarOwners[] = {"com.apple.controlcenter", "com.apple.systemuiserver"};
const char* const kMenuBars[] = {"AXExtrasMenuBar", "AXMenuBar"};
const char* const kNameAttributes[] = {"AXIdentifier", "AXTitle", "AXDescription"};

// A clock item describes itself as its name, a comma and the time.
bool names(const QString& value, const QString& candidate) {
    return value == candidate || value.startsWith(candidate + QLatin1Char(','));
}

}  // namespace

QStringList SystemPanelExecutor::candidates(GestureAction action) {
    if (action == GestureAction::openControlCenter) {
        return {QStringLiteral("com.apple.menuextra.controlcenter"), QStringLiteral("ControlCenter"),
                localized(GLIDRA_TEXT("控制中心")), QStringLiteral("Control Center")};
    }
    return {QStringLiteral("com.apple.menuextra.clock"),
            QStringLiteral("Clock"),
            localized(GLIDRA_TEXT("时钟")),
            localized(GLIDRA_TEXT("日期和时间")),
            QStringLiteral("Date and Time"),
            QStringLiteral("Notification Center"),
            localized(GLIDRA_TEXT("通知中心"))};
}

std::optional<SystemPanelExecutor::PanelKeys> SystemPanelExecutor::desktopPanelKeys(GestureAction action,
                                                                                    const QString& currentDesktop) {
    constexpr std::uint16_t kKeyS = 1;
    constexpr std::uint16_t kKeyV = 9;
    constexpr std::uint64_t kSuper = 0x100000;
    const QStringList running = currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (!running.contains(QStringLiteral("GNOME"), Qt::CaseInsensitive)) return std::nullopt;
    if (action == GestureAction::openControlCenter) return PanelKeys{kKeyS, kSuper};
    if (action == GestureAction::openNotificationCenter) return PanelKeys{kKeyV, kSuper};
    return std::nullopt;
}

QCoro::Task<HUDNotice> SystemPanelExecutor::openPanel(GestureAction action) {
    const QString symbol = symbolName(action);
    const QStringList names = candidates(action);
    const std::vector<RunningApplication> running = workspace_.runningApplications();

    for (const char* owner : kMenuBarOwners) {
        const QString bundleIdentifier = QString::fromLatin1(owner);
        const auto process = std::find_if(running.begin(), running.end(), [&](const RunningApplication& application) {
            return !application.isTerminated && application.bundleIdentifier == bundleIdentifier;
        });
        if (process == running.end()) continue;

        const AccessibilityElementRef application = accessibility_.applicationElement(process->processIdentifier);
        application->setMessagingTimeout(kMessagingTimeout);
        for (const char* bar : kMenuBars) {
            const AccessibilityElementRef menuBar = application->elementAttribute(QString::fromLatin1(bar));
            if (!menuBar) continue;
            const AccessibilityElementRef item = findElement(menuBar, names, 0);
            if (item && item->performAction(QStringLiteral("AXPress"))) {
                co_return HUDNotice{title(action), symbol, HUDNotice::Kind::success};
            }
        }
    }
    co_return HUDNotice{localized(GLIDRA_TEXT("未能打开系统面板，请重试")), symbol, HUDNotice::Kind::error};
}

AccessibilityElementRef SystemPanelExecutor::findElement(const AccessibilityElementRef& element,
                                                         const QStringList& candidates, int depth) {
    if (!element || depth > kMaximumDepth) return nullptr;
    for (const char* attribute : kNameAttributes) {
        const std::optional<QString> value = element->stringAttribute(QString::fromLatin1(attribute));
        if (!value) continue;
        for (const QString& candidate : candidates) {
            if (names(*value, candidate)) return element;
        }
    }
    const AccessibilityElementList children = element->elementsAttribute(QStringLiteral("AXChildren"));
    const std::size_t count = std::min<std::size_t>(children.size(), kMaximumChildren);
    for (std::size_t i = 0; i < count; ++i) {
        if (AccessibilityElementRef found = findElement(children[i], candidates, depth + 1)) return found;
    }
    return nullptr;
}

}  // namespace glidra
