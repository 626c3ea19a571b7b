#pragma once

#include "actions/GestureAction.h"
#include "notices/HUDNotice.h"
#include "platform/Accessibility.h"
#include "platform/Workspace.h"

#include <QCoro/QCoroTask>
#include <QStringList>

namespace glidra {

// Opens Control Center or Notification Center by pressing the matching item
// of the system's own menu bars. Each call runs to its end before the next
// starts: the element calls never suspend. Main thread only.
class SystemPanelExecutor {
public:
    SystemPanelExecutor(Workspace& workspace, Accessibility& accessibility)
        : workspace_(workspace), accessibility_(accessibility) {}

    // openControlCenter opens Control Center; any other action Notification
    // Center.
    QCoro::Task<HUDNotice> openPanel(GestureAction action);

    // The first element, depth first, whose identifier, title or description
    // names one of the candidates; `depth` 0 is the menu bar itself.
    static AccessibilityElementRef findElement(const AccessibilityElementRef& element, const QStringList& candidates,
                                               int depth);

    // The names that identify the panel's menu-bar item, in order.
    static QStringList candidates(GestureAction action);

    static constexpr int kMaximumDepth = 4;
    static constexpr int kMaximumChildren = 80;
    static constexpr double kMessagingTimeout = 0.3;

private:
    Workspace& workspace_;
    Accessibility& accessibility_;
};

}  // namespace glidra
