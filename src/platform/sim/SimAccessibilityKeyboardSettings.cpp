#include "platform/sim/SimAccessibilityKeyboardSettings.h"

#include <algorithm>

namespace glidra::sim {

QCoro::Task<std::optional<AccessibilityKeyboardSettings::Opened>> SimAccessibilityKeyboardSettings::openInBackground() {
    ++openings_;
    if (refuses_) co_return std::nullopt;
    const std::vector<RunningApplication> running = workspace_.runningApplications();
    const bool isRunning = std::any_of(running.begin(), running.end(), [this](const RunningApplication& application) {
        return application.processIdentifier == settings_.processIdentifier;
    });
    if (!isRunning) workspace_.launch(settings_);
    co_return Opened{settings_, accessibility_.application(settings_.processIdentifier)};
}

}  // namespace glidra::sim
