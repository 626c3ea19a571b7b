#include "executors/DesktopViewLauncher.h"

#include "common/Localized.h"
#include "platform/DesktopViews.h"

namespace glidra {

HUDNotice DesktopViewLauncher::showDesktop() {
    const QString symbol = QStringLiteral("desktopcomputer");
    if (views_.showDesktop() == DesktopViews::Outcome::shown) {
        return HUDNotice{localized(GLIDRA_TEXT("显示桌面")), symbol, HUDNotice::Kind::success};
    }
    return HUDNotice{localized(GLIDRA_TEXT("无法显示桌面")), symbol, HUDNotice::Kind::error};
}

QCoro::Task<HUDNotice> DesktopViewLauncher::openMissionControl() {
    const QString symbol = QStringLiteral("rectangle.3.group");
    auto opening = views_.openOverview();
    switch (co_await opening) {
        case DesktopViews::Outcome::unavailable:
            co_return HUDNotice{localized(GLIDRA_TEXT("找不到桌面概览")), symbol, HUDNotice::Kind::error};
        case DesktopViews::Outcome::failed:
            co_return HUDNotice{localized(GLIDRA_TEXT("无法打开桌面概览")), symbol, HUDNotice::Kind::error};
        case DesktopViews::Outcome::shown:
            break;
    }
    co_return HUDNotice{localized(GLIDRA_TEXT("桌面概览")), symbol, HUDNotice::Kind::success};
}

}  // namespace glidra
