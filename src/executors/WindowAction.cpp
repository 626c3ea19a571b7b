#include "executors/WindowAction.h"

#include "common/Localized.h"

namespace glidra {

HUDNotice WindowAction::closeFrontWindow() {
    const std::optional<WindowControl::WindowId> window = windows_.focusedWindow();
    if (window && windows_.close(*window)) {
        return {localized(GLIDRA_TEXT("关闭窗口")), QStringLiteral("xmark.square"), HUDNotice::Kind::success};
    }
    return {localized(GLIDRA_TEXT("当前窗口无法关闭")), QStringLiteral("macwindow"), HUDNotice::Kind::error};
}

}  // namespace glidra
