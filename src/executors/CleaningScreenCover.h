#pragma once

#include "platform/Scheduler.h"
#include "platform/ScreenCovers.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace glidra {

// The pointer state of the cleaning cover: how to show the pointer again
// when the cover hid it.
struct CleaningCursor {
    // Shows the pointer and undoes whatever hiding it needed; empty while
    // the cover has not hidden it. Set at most once per showing, so hiding
    // and showing stay balanced.
    std::function<void()> restoreCursor;
};

// Black windows over every screen for the cleaning mode, with a hint for the
// first two seconds on how to leave early, and the pointer hidden. Owned by
// the keyboard lock; main thread only.
class CleaningScreenCover final : public QObject {
    Q_OBJECT

public:
    static constexpr double kExitHintDuration = 2.0;

    CleaningScreenCover(ScreenCovers& covers, Scheduler& scheduler, QObject* parent = nullptr);
    ~CleaningScreenCover() override;

    void show();
    // Takes the hints and the windows away, shows the pointer and gives the
    // front back to the application that had it.
    void hide();
    // A fresh set of windows for the screens attached now.
    void rebuildWindows();
    void hideExitHint();
    // Hides the pointer once the program is the active application.
    void hideCursor();

    const std::vector<ScreenCovers::CoverId>& windows() const { return windows_; }
    bool isExitHintPending() const { return exitHintTimer_.isActive(); }
    bool isCursorHidden() const { return static_cast<bool>(cursor_.restoreCursor); }

private:
    ScreenCovers::CoverId buildWindow(int screen);

    ScreenCovers& covers_;
    Scheduler& scheduler_;
    std::vector<ScreenCovers::CoverId> windows_;
    std::vector<ScreenCovers::CoverId> exitHintLabels_;  // the windows whose hint is showing
    TimerHandle exitHintTimer_;
    std::optional<QString> previousApplication_;
    CleaningCursor cursor_;
};

}  // namespace glidra
