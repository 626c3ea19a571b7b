#pragma once

#include "actions/GestureAction.h"
#include "notices/HUDNotice.h"
#include "platform/Accessibility.h"
#include "platform/Workspace.h"

#include <QCoro/QCoroTask>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace glidra {

// Opens the quick settings or the notification list by pressing the matching
// item of a system process's top bar, where the accessibility port offers
// one; desktopPanelKeys gives the keys of a desktop that opens them itself.
// Each call runs to its end before the next starts: the element calls never
// suspend. Main thread only.
class SystemPanelExecutor {
public:
    SystemPanelExecutor(Workspace& workspace, Accessibility& accessibility)
        : workspace_(workspace), accessibility_(accessibility) {}

    // openControlCenter opens the quick settings; any other action the
    // notification list.
    QCoro::Task<HUDNotice> openPanel(GestureAction action);

    // The first element, depth first, whose identifier, title or description
    // names one of the candidates; `depth` 0 is the top bar itself.
    static AccessibilityElementRef findElement(const AccessibilityElementRef& element, const QStringList& candidates,
                                               int depth);

    // The names that identify the panel's top-bar item, in order.
    static QStringList candidates(GestureAction action);

    // The keys with which the desktop named by `currentDesktop` (as
    // XDG_CURRENT_DESKTOP names it) opens the panel itself: on GNOME Shell,
    // Super+S for the quick settings (openControlCenter) and Super+V for the
    // notification list; nothing elsewhere.
    struct PanelKeys {
        std::uint16_t keyCode;
        std::uint64_t flags;
        friend bool operator==(const PanelKeys&, const PanelKeys&) = default;
    };
    static std::optional<PanelKeys> desktopPanelKeys(GestureAction action, const QString& currentDesktop);

    static constexpr int kMaximumDepth = 4;
    static constexpr int kMaximumChildren = 80;
    static constexpr double kMessagingTimeout = 0.3;

private:
    Workspace& workspace_;
    Accessibility& accessibility_;
};

}  // namespace glidra
