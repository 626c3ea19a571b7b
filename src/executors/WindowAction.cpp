#include "executors/WindowAction.h"

#include "actions/GestureAction.h"
#include "common/Localized.h"

namespace glidra {

QCoro::Task<HUDNotice> WindowAction::closeFrontWindow() {
    const HUDNotice cannotClose{localized(GLIDRA_TEXT("当前窗口无法关闭")), QStringLiteral("macwindow"),
                                HUDNotice::Kind::error};
    const std::weak_ptr<int> alive = alive_;
    auto finding = windows_.focusedWindow();
    const std::optional<WindowControl::WindowId> window = co_await finding;
    if (!window || alive.expired()) co_return cannotClose;
    auto closing = windows_.close(*window);
    if (!co_await closing) co_return cannotClose;
    co_return HUDNotice{localized(GLIDRA_TEXT("关闭窗口")), QStringLiteral("xmark.square"), HUDNotice::Kind::success};
}

QCoro::Task<std::optional<HUDNotice>> WindowAction::minimizeFrontWindow() {
    const std::weak_ptr<int> alive = alive_;
    auto finding = windows_.focusedWindow();
    const std::optional<WindowControl::WindowId> window = co_await finding;
    if (!window || alive.expired()) co_return std::nullopt;
    auto minimizing = windows_.minimize(*window);
    if (!co_await minimizing) co_return std::nullopt;
    const GestureAction action = GestureAction::minimizeWindow;
    co_return HUDNotice{title(action), symbolName(action), HUDNotice::Kind::success};
}

}  // namespace glidra
