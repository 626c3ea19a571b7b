#include "executors/ApplicationSwitcher.h"

#include "common/Localized.h"

#include <algorithm>

namespace glidra {

namespace {

bool isRegular(const RunningApplication& application) {
    return application.activationPolicy == ActivationPolicy::regular && !application.isTerminated;
}

}  // namespace

ApplicationSwitcher::ApplicationSwitcher(Workspace& workspace, std::optional<QString> ownBundleIdentifier,
                                         QObject* parent)
    : QObject(parent), workspace_(workspace), ownBundleIdentifier_(std::move(ownBundleIdentifier)) {
    startObserving();
}

ApplicationSwitcher::~ApplicationSwitcher() { disconnect(observation_); }

void ApplicationSwitcher::startObserving() {
    disconnect(observation_);
    history_ = {};
    record(workspace_.frontmostApplication().application);
    observation_ = connect(&workspace_, &Workspace::applicationActivated, this,
                           [this](const RunningApplication& application) { record(application); });
}

void ApplicationSwitcher::record(const std::optional<RunningApplication>& application) {
    if (!application || application->activationPolicy != ActivationPolicy::regular) return;
    if (!application->bundleIdentifier || application->bundleIdentifier == ownBundleIdentifier_) return;
    history_.record(*application->bundleIdentifier);
}

HUDNotice ApplicationSwitcher::switchToPrevious() {
    std::vector<RunningApplication> running = workspace_.runningApplications();
    std::erase_if(running, [](const RunningApplication& application) { return !isRegular(application); });

    const FrontApplication front = workspace_.frontmostApplication();
    const std::optional<QString> frontIdentifier =
        front.application ? front.application->bundleIdentifier : std::nullopt;

    QSet<QString> runningIdentifiers;
    for (const RunningApplication& application : running) {
        if (application.bundleIdentifier) runningIdentifiers.insert(*application.bundleIdentifier);
    }

    if (const std::optional<QString> previous = history_.previous(frontIdentifier, runningIdentifiers)) {
        const auto target = std::find_if(running.begin(), running.end(), [&](const RunningApplication& application) {
            return application.bundleIdentifier == previous;
        });
        if (target != running.end() && workspace_.activate(target->processIdentifier)) {
            const QString name =
                target->localizedName.isEmpty() ? localized(GLIDRA_TEXT("切换应用")) : target->localizedName;
            return {name, QStringLiteral("arrow.left.arrow.right.square"), HUDNotice::Kind::success};
        }
    }
    return {localized(GLIDRA_TEXT("暂无可切换的上一个应用")), QStringLiteral("app"), HUDNotice::Kind::information};
}

}  // namespace glidra
