#include "executors/DesktopIconsController.h"

#include "common/Localized.h"

namespace glidra {

namespace {
// Only a stored Boolean counts; anything else reads as absent.
std::optional<bool> storedBoolean(const std::optional<DefaultsValue>& value) {
    if (value && std::holds_alternative<bool>(*value)) return std::get<bool>(*value);
    return std::nullopt;
}
}  // namespace

DesktopIconsController::DesktopIconsController(DesktopPreferences& preferences, QObject* parent)
    : QObject(parent), preferences_(preferences), isHidden_(storedBoolean(preferences.showDesktopIcons()) == false) {}

HUDNotice DesktopIconsController::toggle() {
    const QString symbol = QStringLiteral("desktopcomputer");
    const std::optional<DefaultsValue> old = preferences_.showDesktopIcons();
    // Icons show by default, so the first toggle hides them.
    const std::optional<bool> current = storedBoolean(old);
    const bool shown = current ? !*current : false;

    preferences_.setShowDesktopIcons(DefaultsValue(shown));
    if (preferences_.synchronize() && preferences_.reloadDesktop()) {
        setHidden(!shown);
        return {shown ? localized(GLIDRA_TEXT("桌面图标已显示")) : localized(GLIDRA_TEXT("桌面图标已隐藏")), symbol,
                HUDNotice::Kind::success};
    }
    preferences_.setShowDesktopIcons(old);
    preferences_.synchronize();
    return {localized(GLIDRA_TEXT("无法切换桌面图标")), symbol, HUDNotice::Kind::error};
}

void DesktopIconsController::setHidden(bool hidden) {
    if (hidden == isHidden_) return;
    isHidden_ = hidden;
    Q_EMIT isHiddenChanged();
}

}  // namespace glidra
