#pragma once

// Stand-ins for the dispatcher's system, application and content executors:
// each answers what the test set for the action (nothing when unset) and
// records the call, so tests see which executor the dispatcher asked, in
// which order.

#include "dispatch/DispatcherServices.h"

#include <QStringList>

#include <functional>
#include <map>

namespace glidra::test {

class FakeExecutorGroups final : public SystemActionService,
                                 public ApplicationActionExecutors,
                                 public ContentActionExecutors {
public:
    QStringList calls;

    // Answers of the executors that may pass an action on.
    std::map<GestureAction, HUDNotice> clipboardAnswers;
    std::map<GestureAction, HUDNotice> targetAnswers;
    std::map<GestureAction, HUDNotice> systemAnswers;
    // Answers of the executors that always answer.
    HUDNotice answer{QStringLiteral("完成"), QStringLiteral("checkmark"), HUDNotice::Kind::success};
    // A real executor behind the system actions, asked before the answers.
    std::function<std::optional<HUDNotice>(GestureAction)> systemExecutor;
    bool applicationOpens = true;
    bool keyboardShows = true;
    std::optional<HUDNotice> minimizeAnswer;

    QCoro::Task<std::optional<HUDNotice>> perform(GestureAction action) override {
        if (systemExecutor) {
            if (auto answered = systemExecutor(action)) {
                calls.append(QStringLiteral("system(%1)").arg(enumRaw(action)));
                co_return answered;
            }
        }
        co_return recorded(QStringLiteral("system"), action, systemAnswers);
    }

    QCoro::Task<std::optional<HUDNotice>> openActionTarget(GestureBinding binding) override {
        co_return recorded(QStringLiteral("target"), binding.action, targetAnswers);
    }
    QCoro::Task<bool> openApplication(QString path) override {
        calls.append(QStringLiteral("openApplication(%1)").arg(path));
        co_return applicationOpens;
    }
    QCoro::Task<bool> toggleAccessibilityKeyboard(CancellationToken) override {
        calls.append(QStringLiteral("accessibilityKeyboard"));
        co_return keyboardShows;
    }
    QCoro::Task<HUDNotice> openSystemPanel(GestureAction action) override {
        co_return answered(QStringLiteral("panel(%1)").arg(enumRaw(action)));
    }
    QCoro::Task<HUDNotice> openForceQuitWindow(CancellationToken) override {
        co_return answered(QStringLiteral("forceQuit"));
    }
    QCoro::Task<HUDNotice> closeFrontWindow() override { co_return answered(QStringLiteral("closeWindow")); }
    QCoro::Task<std::optional<HUDNotice>> minimizeFrontWindow() override {
        calls.append(QStringLiteral("minimizeWindow"));
        co_return minimizeAnswer;
    }
    QCoro::Task<HUDNotice> performWindowLayout(GestureAction action) override {
        co_return answered(QStringLiteral("layout(%1)").arg(enumRaw(action)));
    }
    HUDNotice switchToPreviousApplication() override { return answered(QStringLiteral("previousApplication")); }

    QCoro::Task<std::optional<HUDNotice>> performClipboardAction(GestureAction action, CancellationToken) override {
        co_return recorded(QStringLiteral("clipboard"), action, clipboardAnswers);
    }
    QCoro::Task<HUDNotice> startWindowScreenshot() override { co_return answered(QStringLiteral("windowScreenshot")); }
    HUDNotice translateSelection() override { return answered(QStringLiteral("translate")); }

private:
    std::optional<HUDNotice> recorded(const QString& executor, GestureAction action,
                                      const std::map<GestureAction, HUDNotice>& answers) {
        calls.append(QStringLiteral("%1(%2)").arg(executor, enumRaw(action)));
        const auto it = answers.find(action);
        if (it == answers.end()) return std::nullopt;
        return it->second;
    }
    HUDNotice answered(const QString& call) {
        calls.append(call);
        return answer;
    }
};

}  // namespace glidra::test
