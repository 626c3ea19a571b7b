#include "platform/sim/SimScreenCovers.h"

#include <algorithm>

namespace glidra::sim {

ScreenCovers::CoverId SimScreenCovers::openCover(int screen, const std::optional<QString>& hint) {
    const CoverId id = nextCover_++;
    open_[id] = Cover{screen, hint};
    return id;
}

void SimScreenCovers::removeHint(CoverId cover) {
    const auto it = open_.find(cover);
    if (it != open_.end()) it->second.hint.reset();
}

bool SimScreenCovers::hidePointerInBackground() {
    if (!backgroundAvailable_ || hidingFails_) return false;
    ++backgroundHides_;
    return true;
}

bool SimScreenCovers::hidePointer() {
    if (hidingFails_) return false;
    ++plainHides_;
    return true;
}

void SimScreenCovers::activate(const QString& application) {
    activations_.push_back(application);
    active_ = false;
    frontmost_ = application;
}

void SimScreenCovers::setScreens(int count) {
    screens_ = count;
    Q_EMIT screensChanged();
}

void SimScreenCovers::becomeActive() {
    active_ = true;
    Q_EMIT didBecomeActive();
}

int SimScreenCovers::hintCount() const {
    return int(std::count_if(open_.begin(), open_.end(), [](const auto& entry) { return entry.second.hint; }));
}

}  // namespace glidra::sim
