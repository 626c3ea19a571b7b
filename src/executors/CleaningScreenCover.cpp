#include "executors/CleaningScreenCover.h"

#include "common/Localized.h"

namespace glidra {

CleaningScreenCover::CleaningScreenCover(ScreenCovers& covers, Scheduler& scheduler, QObject* parent)
    : QObject(parent), covers_(covers), scheduler_(scheduler) {
    connect(&covers_, &ScreenCovers::didBecomeActive, this, &CleaningScreenCover::hideCursor);
}

CleaningScreenCover::~CleaningScreenCover() { exitHintTimer_.cancel(); }

ScreenCovers::CoverId CleaningScreenCover::buildWindow(int screen) {
    std::optional<QString> hint;
    if (exitHintTimer_.isActive()) hint = localized(GLIDRA_TEXT("连按两次 Esc 提前退出"));
    const ScreenCovers::CoverId cover = covers_.openCover(screen, hint);
    if (hint) exitHintLabels_.push_back(cover);
    return cover;
}

void CleaningScreenCover::rebuildWindows() {
    const std::vector<ScreenCovers::CoverId> old = std::move(windows_);
    windows_.clear();
    exitHintLabels_.clear();
    const int screens = covers_.screenCount();
    for (int screen = 0; screen < screens; ++screen) windows_.push_back(buildWindow(screen));
    for (const ScreenCovers::CoverId cover : old) covers_.closeCover(cover);
}

void CleaningScreenCover::show() {
    exitHintTimer_.cancel();
    exitHintTimer_ = scheduler_.after(kExitHintDuration, this, [this] { hideExitHint(); });
    rebuildWindows();
    if (windows_.empty()) return;
    if (cursor_.restoreCursor) return;

    if (covers_.hidePointerInBackground()) {
        cursor_.restoreCursor = [this] { covers_.showPointerInBackground(); };
        return;
    }
    // Without the background route the pointer hides only while the program
    // is in front, so it comes to the front and hands it back at the end.
    if (covers_.isActiveApplication()) {
        hideCursor();
    } else {
        previousApplication_ = covers_.frontmostApplication();
        covers_.activateSelf();
    }
}

void CleaningScreenCover::hideCursor() {
    if (windows_.empty() || !covers_.isActiveApplication() || cursor_.restoreCursor) return;
    if (covers_.hidePointer()) cursor_.restoreCursor = [this] { covers_.showPointer(); };
}

void CleaningScreenCover::hideExitHint() {
    exitHintTimer_.cancel();
    exitHintTimer_ = {};
    for (const ScreenCovers::CoverId cover : exitHintLabels_) covers_.removeHint(cover);
    exitHintLabels_.clear();
}

void CleaningScreenCover::hide() {
    hideExitHint();
    if (auto restore = std::move(cursor_.restoreCursor)) {
        cursor_.restoreCursor = nullptr;
        restore();
    }
    for (const ScreenCovers::CoverId cover : windows_) covers_.closeCover(cover);
    windows_.clear();
    if (covers_.isActiveApplication() && previousApplication_) covers_.activate(*previousApplication_);
    previousApplication_.reset();
}

}  // namespace glidra
