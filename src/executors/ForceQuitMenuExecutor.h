#pragma once

#include "notices/HUDNotice.h"
#include "platform/Accessibility.h"
#include "platform/Cancellation.h"
#include "platform/Scheduler.h"
#include "platform/Workspace.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QStringList>

#include <optional>

namespace glidra {

// Opens the system's Force Quit window by pressing the Force Quit item of the
// front application's first menu, then waits until the window shows. One
// attempt at a time: a request during an attempt is answered at once. Main
// thread only.
class ForceQuitMenuExecutor final : public QObject {
    Q_OBJECT

public:
    ForceQuitMenuExecutor(Workspace& workspace, Accessibility& accessibility, Scheduler& scheduler,
                          QObject* parent = nullptr)
        : QObject(parent), workspace_(workspace), accessibility_(accessibility), scheduler_(scheduler) {}

    // `token` is the action task's: a cancelled wait ends the attempt.
    QCoro::Task<HUDNotice> openForceQuitWindow(CancellationToken token = {});

    // Presses the Force Quit item of the process's first menu; the error text,
    // or nothing when it was pressed.
    QCoro::Task<std::optional<QString>> pressForceQuitItem(std::int32_t processIdentifier,
                                                           CancellationToken token = {});

    // The Force Quit item, depth first; `depth` 0 is the menu itself.
    static AccessibilityElementRef findMenuItem(const AccessibilityElementRef& element, int depth);

    bool isForceQuitWindowOpen();
    bool isOpening() const { return forceQuitOpening_; }

    // The names of the item and of the window, in the system's languages.
    static QStringList forceQuitNames();

    static constexpr double kMenuDelay = 0.12;
    static constexpr double kPollInterval = 0.08;
    static constexpr int kPolls = 12;
    static constexpr int kMaximumDepth = 3;
    static constexpr int kMaximumChildren = 80;
    // Escape, and the menu's modifier value for Option (Command implied).
    static constexpr int kEscapeKey = 53;
    static constexpr int kOptionModifier = 2;

private:
    QCoro::Task<HUDNotice> attempt(CancellationToken token);

    Workspace& workspace_;
    Accessibility& accessibility_;
    Scheduler& scheduler_;
    bool forceQuitOpening_ = false;
};

}  // namespace glidra
