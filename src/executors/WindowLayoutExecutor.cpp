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

QCoro::Task<HUDNotice> WindowLayoutExecutor::perform(GestureAction action) {
    const std::weak_ptr<int> alive = alive_;
    auto finding = windows_.focusedWindow();
    const std::optional<WindowControl::WindowId> window = co_await finding;
    if (!window || alive.expired()) co_return unsupported();
    auto reading = windows_.frame(*window);
    const std::optional<QRectF> frame = co_await reading;
    if (!frame || alive.expired()) co_return unsupported();

    auto asking = windows_.isFullScreen(*window);
    const bool fullScreen = co_await asking;
    if (alive.expired()) co_return unsupported();
    if (fullScreen) {
        co_return HUDNotice{localized(GLIDRA_TEXT("请先退出全屏再调整窗口")), kWindowSymbol,
                            HUDNotice::Kind::information};
    }

    QRectF target;
    if (action == GestureAction::restoreWindow) {
        const std::optional<QRectF> recorded = history_.frame(*window);
        if (!recorded) {
            co_return HUDNotice{localized(GLIDRA_TEXT("尚无可恢复的窗口布局")), kWindowSymbol,
                                HUDNotice::Kind::information};
        }
        target = *recorded;
    } else {
        const std::vector<ScreenInfo> screens = screens_.screens();
        const std::optional<std::size_t> index = WindowLayoutGeometry::screenIndex(*frame, screens);
        if (!index) co_return unsupported();
        const ScreenInfo& screen = screens[*index];
        const QRectF visible = screen.visibleFrame;

        if (action == GestureAction::moveWindowToNextDisplay) {
            const HUDNotice noOtherDisplay{localized(GLIDRA_TEXT("请先连接另一台显示器")), QStringLiteral("display.2"),
                                           HUDNotice::Kind::information};
            const std::vector<ScreenInfo> current = screens_.screens();
            if (current.size() < 2) co_return noOtherDisplay;
            const auto found = std::find_if(current.begin(), current.end(), [&](const ScreenInfo& candidate) {
                return candidate.identifier == screen.identifier;
            });
            if (found == current.end()) co_return noOtherDisplay;
            const std::size_t next = (std::size_t(found - current.begin()) + 1) % current.size();
            target = WindowLayoutGeometry::nextDisplayTarget(*frame, visible, current[next].visibleFrame);
        } else {
            const std::optional<QRectF> laidOut = WindowLayoutGeometry::target(action, *frame, visible);
            if (!laidOut) co_return unsupported();
            target = *laidOut;
        }
    }

    if (action == GestureAction::centerWindow) {
        auto centring = centre(*window, *frame, target, action);
        co_return co_await centring;
    }

    // Recorded before anything changes, so that even a half-done layout can
    // be undone; a window recorded earlier keeps its first frame.
    history_.record(*frame, *window);
    auto sizing = windows_.setSize(*window, target.size());
    const bool sized = co_await sizing;
    if (alive.expired()) co_return unsupported();
    auto placing = windows_.setPosition(*window, target.topLeft());
    const bool placed = co_await placing;
    if (!placed || alive.expired()) co_return unsupported();
    // A window that keeps its size on the next display may refuse to be
    // sized at all.
    const bool sameSize = target.width() == frame->width() && target.height() == frame->height();
    if (!sized && !(action == GestureAction::moveWindowToNextDisplay && sameSize)) co_return unsupported();
    // Some windows refuse a size that does not fit where they stand, and take
    // it once they have moved.
    auto resizing = windows_.setSize(*window, target.size());
    co_await resizing;
    if (alive.expired()) co_return unsupported();

    auto checking = windows_.frame(*window);
    const std::optional<QRectF> result = co_await checking;
    if (alive.expired()) co_return unsupported();
    if (!result || !reached(*result, target)) {
        co_return HUDNotice{localized(GLIDRA_TEXT("窗口尺寸受应用限制")), kWindowSymbol, HUDNotice::Kind::information};
    }
    if (action == GestureAction::restoreWindow) history_.remove(*window);
    co_return applied(action);
}

QCoro::Task<HUDNotice> WindowLayoutExecutor::centre(WindowControl::WindowId window, QRectF frame, QRectF target,
                                                    GestureAction action) {
    const std::weak_ptr<int> alive = alive_;
    if (near(frame.left(), target.left(), kCentredTolerance) && near(frame.top(), target.top(), kCentredTolerance)) {
        co_return applied(action);
    }
    auto placing = windows_.setPosition(window, target.topLeft());
    const bool placed = co_await placing;
    if (!placed || alive.expired()) co_return unsupported();
    auto checking = windows_.frame(window);
    const std::optional<QRectF> result = co_await checking;
    if (alive.expired()) co_return unsupported();
    if (!result || !near(result->left(), target.left(), kTolerance) || !near(result->top(), target.top(), kTolerance)) {
        co_return unsupported();
    }
    history_.record(frame, window);
    co_return applied(action);
}

}  // namespace glidra
