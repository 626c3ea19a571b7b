#include "platform/sim/SimWorkspace.h"

#include <algorithm>

namespace glidra::sim {

bool SimWorkspace::openUrl(const QUrl& url) {
    openedUrls_.append(url);
    return !refusesToOpen_;
}

bool SimWorkspace::openApplication(const QString& path) {
    openedApplications_.append(path);
    return !refusesToOpenApplications_;
}

QCoro::Task<bool> SimWorkspace::showInFileManager(QString path) {
    shownInFileManager_.append(path);
    co_return !refusesToShowInFileManager_;
}

std::optional<QString> SimWorkspace::applicationLocation(const QString& bundleIdentifier) {
    const auto it = installed_.constFind(bundleIdentifier);
    if (it == installed_.constEnd()) return std::nullopt;
    return *it;
}

std::optional<ApplicationBundle> SimWorkspace::loadApplicationBundle(const QString& path) {
    const auto it = bundles_.constFind(path);
    if (it == bundles_.constEnd()) return std::nullopt;
    return *it;
}

bool SimWorkspace::activate(std::int32_t processIdentifier) {
    activated_.append(processIdentifier);
    if (refusesActivation_.contains(processIdentifier) || !find(processIdentifier)) return false;
    bringToFront(processIdentifier);
    return true;
}

bool SimWorkspace::hide(std::int32_t processIdentifier) {
    hidden_.append(processIdentifier);
    return find(processIdentifier) != nullptr;
}

void SimWorkspace::launch(RunningApplication application) { running_.push_back(std::move(application)); }

void SimWorkspace::terminate(std::int32_t processIdentifier) {
    std::erase_if(running_, [&](const RunningApplication& application) {
        return application.processIdentifier == processIdentifier;
    });
    if (front_.application && front_.application->processIdentifier == processIdentifier) front_ = {};
}

void SimWorkspace::bringToFront(std::int32_t processIdentifier) {
    const RunningApplication* application = find(processIdentifier);
    if (!application) return;
    const bool changed = front_.application != *application;
    front_ = FrontApplication::of(*application);
    // Like the desktop, it reports a change of application, not every click.
    if (changed) Q_EMIT applicationActivated(*front_.application);
}

void SimWorkspace::setRefusesActivation(std::int32_t processIdentifier, bool refuses) {
    if (refuses) {
        refusesActivation_.insert(processIdentifier);
    } else {
        refusesActivation_.remove(processIdentifier);
    }
}

const RunningApplication* SimWorkspace::find(std::int32_t processIdentifier) const {
    const auto it = std::find_if(running_.begin(), running_.end(), [&](const RunningApplication& application) {
        return application.processIdentifier == processIdentifier;
    });
    return it == running_.end() ? nullptr : &*it;
}

}  // namespace glidra::sim
