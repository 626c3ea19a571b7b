#pragma once

#include "platform/Accessibility.h"
#include "platform/AccessibilityKeyboardSettings.h"
#include "platform/Scheduler.h"
#include "platform/Workspace.h"

#include <QCoro/QCoroTask>
#include <QObject>

namespace glidra {

// Shows the on-screen keyboard: opens its settings page in the background,
// switches it on there when it is off, waits until the switch reports on and
// gives the focus back to the application that had it. It never switches the
// keyboard off. One run at a time; a request during a run fails at once. Main
// thread only.
class AccessibilityKeyboardToggle final : public QObject {
    Q_OBJECT

public:
    AccessibilityKeyboardToggle(Workspace& workspace, AccessibilityKeyboardSettings& settings, Scheduler& scheduler,
                                QObject* parent = nullptr)
        : QObject(parent), workspace_(workspace), settings_(settings), scheduler_(scheduler) {}

    // True when the keyboard is on. A run always goes to its end: gesture
    // resets do not cut its waits short.
    QCoro::Task<bool> toggleAccessibilityKeyboard();

    // The keyboard's switch, depth first; `depth` 0 is a window. Outlines are
    // not searched.
    static AccessibilityElementRef findKeyboardCheckbox(const AccessibilityElementRef& element, int depth);

    bool isBusy() const { return accessibilityKeyboardBusy_; }

    static constexpr double kMessagingTimeout = 0.25;
    static constexpr int kSearchAttempts = 20;
    static constexpr int kConfirmReads = 10;
    static constexpr double kInterval = 0.1;
    static constexpr int kMaximumDepth = 13;

private:
    QCoro::Task<bool> run(std::optional<RunningApplication> previousFront);
    QCoro::Task<AccessibilityElementRef> waitForCheckbox(AccessibilityElementRef application);
    QCoro::Task<bool> confirmOn(AccessibilityElementRef checkbox);

    Workspace& workspace_;
    AccessibilityKeyboardSettings& settings_;
    Scheduler& scheduler_;
    bool accessibilityKeyboardBusy_ = false;
};

}  // namespace glidra
