#include "executors/WindowLayoutExecutor.h"

#include "common/Localized.h"
#include "executors/WindowLayoutGeometry.h"

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

const QString kWindowSymbol = QStringLiteral("macwindow");

HUDNotice unsupported() {
    return {localized(GLIDRA_TEXT("当前窗口不支持调整布局")), kWindowSymbol, HUDNotice::Kind::error};
}

HUDNotice applied(GestureAction action) { return {title(action), symbolName(action), HUDNotice::Kind::success}; }

bool near(double a, double b, double tolerance) { return std::abs(a - b) < tolerance; }

bool reached(const QRectF& frame, const QRectF& target) {
    const double t = WindowLayoutExecutor::kTolerance;
    return near(frame.left(), target.left(), t) && near(frame.top(), target.top(), t) &&
           near(frame.width(), target.width(), t) && near(frame.height(), target.height(), t);
}

}  // namespace

HUDNotice WindowLayoutExecutor::perform(GestureAction action) {
    const std::optional<WindowControl::WindowId> window = windows_.focusedWindow();
    if (!window) return unsupported();
    const std::optional<QRectF> frame = windows_.frame(*window);
    if (!frame) return unsupported();

    if (windows_.isFullScreen(*window)) {
        return {localized(GLIDRA_TEXT("请先退出全屏再调整窗口")), kWindowSymbol, HUDNotice::Kind::information};
    }

    QRectF target;
    if (action == GestureAction::restoreWindow) {
        const std::optional<QRectF> recorded = history_.frame(*window);
        if (!recorded) {
            return {localized(GLIDRA_TEXT("尚无可恢复的窗口布局")), kWindowSymbol, HUDNotice::Kind::information};
        }
        target = *recorded;
    } else {
        const std::vector<ScreenInfo> screens = screens_.screens();
        const std::optional<std::size_t> index = WindowLayoutGeometry::screenIndex(*frame, screens);
        if (!index) return unsupported();
        const ScreenInfo& screen = screens[*index];
        const QRectF visible = screen.visibleFrame;

        if (action == GestureAction::moveWindowToNextDisplay) {
            const HUDNotice noOtherDisplay{localized(GLIDRA_TEXT("请先连接另一台显示器")), QStringLiteral("display.2"),
                                           HUDNotice::Kind::information};
            const std::vector<ScreenInfo> current = screens_.screens();
            if (current.size() < 2) return noOtherDisplay;
            const auto found = std::find_if(current.begin(), current.end(), [&](const ScreenInfo& candidate) {
                return candidate.identifier == screen.identifier;
            });
            if (found == current.end()) return noOtherDisplay;
            const std::size_t next = (std::size_t(found - current.begin()) + 1) % current.size();
            target = WindowLayoutGeometry::nextDisplayTarget(*frame, visible, current[next].visibleFrame);
        } else {
            const std::optional<QRectF> laidOut = WindowLayoutGeometry::target(action, *frame, visible);
            if (!laidOut) return unsupported();
            target = *laidOut;
        }
    }

    if (action == GestureAction::centerWindow) return centre(*window, *frame, target, action);

    // Recorded before anything changes, so that even a half-done layout can
    // be undone; a window recorded earlier keeps its first frame.
    history_.record(*frame, *window);
    const bool sized = windows_.setSize(*window, target.size());
    const bool placed = windows_.setPosition(*window, target.topLeft());
    if (!placed) return unsupported();
    // A window that keeps its size on the next display may refuse to be
    // sized at all.
    const bool sameSize = target.width() == frame->width() && target.height() == frame->height();
    if (!sized && !(action == GestureAction::moveWindowToNextDisplay && sameSize)) return unsupported();
    // Some windows refuse a size that does not fit where they stand, and take
    // it once they have moved.
    windows_.setSize(*window, target.size());

    const std::optional<QRectF> result = windows_.frame(*window);
    if (!result || !reached(*result, target)) {
        return {localized(GLIDRA_TEXT("窗口尺寸受应用限制")), kWindowSymbol, HUDNotice::Kind::information};
    }
    if (action == GestureAction::restoreWindow) history_.remove(*window);
    return applied(action);
}

HUDNotice WindowLayoutExecutor::centre(WindowControl::WindowId window, const QRectF& frame, const QRectF& target,
                                       GestureAction action) {
    if (near(frame.left(), target.left(), kCentredTolerance) && near(frame.top(), target.top(), kCentredTolerance)) {
        return applied(action);
    }
    if (!windows_.setPosition(window, target.topLeft())) return unsupported();
    const std::optional<QRectF> result = windows_.frame(window);
    if (!result || !near(result->left(), target.left(), kTolerance) || !near(result->top(), target.top(), kTolerance)) {
        return unsupported();
    }
    history_.record(frame, window);
    return applied(action);
}

}  // namespace glidra
