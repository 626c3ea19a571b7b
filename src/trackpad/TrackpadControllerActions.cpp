// Running a bound action: the action gate, and the action task that awaits
// the dispatcher and presents its notice unless the world moved on.

#include "trackpad/TrackpadController.h"

#include "dispatch/ActionDispatcher.h"
#include "platform/FrontmostApplication.h"
#include "platform/LogCategories.h"
#include "settings/ControlSettings.h"
#include "settings/DisabledApplication.h"
#include "trackpad/TypingActivityMonitor.h"

#include <QPointer>

namespace glidra {

bool TrackpadController::canPerformActions(const std::optional<QString>& application) {
    return passesActionGate(application, std::nullopt);
}

bool TrackpadController::passesActionGate(const std::optional<QString>& application,
                                          std::optional<GestureAction> action) {
    // The action that locked the keyboard must be able to unlock it: a plain
    // lock has no other way out without a window or a tray. The cleaning
    // mode ends by itself.
    const bool unlocksKeyboard =
        action == GestureAction::toggleKeyboardLock && !environment_.executors.isKeyboardCleaning();
    if (environment_.executors.isKeyboardLocked() && !unlocksKeyboard) return false;
    if (!isEnabled_ || !isListening_ || isControlSuspended()) return false;
    if (practiceMode_ || isLearningGesture_) return false;
    TypingActivityMonitor& typing = typingMonitor();
    if (typing.isEnabled() && typing.isWithinTypingWindow()) return false;
    return !contains(settings_.disabledApplications(), application);
}

void TrackpadController::runBoundAction(const GestureBinding& binding, const std::optional<QString>& application) {
    if (!passesActionGate(application, binding.action)) return;
    ExecutorServices& executors = environment_.executors;
    if (executors.isApplicationSwitcherOpen() && !ActionDispatcher::keepsApplicationSwitcher(binding.action)) {
        executors.endApplicationSwitcher(true);
    }
    const ActionRun run{QPointer<TrackpadController>(this), application, generation_, actionEpoch_, binding};
    actionTasks_.run([run](CancellationToken token) { return performBoundAction(run, std::move(token)); });
}

QCoro::Task<void> TrackpadController::performBoundAction(ActionRun run, CancellationToken token) {
    TrackpadController* controller = run.controller.data();
    if (controller == nullptr || !controller->isActionRunCurrent(run)) co_return;
    // A gesture meant for one application never acts on another.
    if (controller->environment_.frontmostApplication.bundleIdentifier() != run.application) co_return;

    ActionDispatchService& dispatcher = controller->environment_.dispatcher;
    const GestureAction action = run.binding.action;
    qCDebug(lcActions).noquote() << "running" << enumRaw(action);
    const HUDNotice notice = co_await dispatcher.performGestureAction(run.binding, std::move(token));
    // The notice's text names what failed; it never holds typed keys or the
    // clipboard's text.
    if (notice.kind == HUDNotice::Kind::error) {
        qCWarning(lcActions).noquote() << enumRaw(action) << "failed:" << notice.text;
    }

    // Listening may have stopped, the gesture state been reset or control
    // paused while the action ran: then its notice is no longer wanted.
    controller = run.controller.data();
    if (controller == nullptr || !controller->isActionRunCurrent(run)) co_return;
    controller->setActionIssue(notice.kind == HUDNotice::Kind::error ? std::optional<QString>(notice.text)
                                                                     : std::nullopt);
    controller->setStatus(notice.text);
    controller->hud_->show(notice);
}

bool TrackpadController::isActionRunCurrent(const ActionRun& run) {
    return passesActionGate(run.application, run.binding.action) && generation_ == run.generation &&
           actionEpoch_ == run.actionEpoch;
}

}  // namespace glidra
