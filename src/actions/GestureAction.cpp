#include "actions/GestureAction.h"

#include "common/Localized.h"
#include "common/TextSearch.h"
#include "platform/Workspace.h"

#include <QUrl>

namespace glidra {

namespace {

using A = GestureAction;

constexpr GestureAction mouseActions[] = {
    A::mouseLeftClick,  A::mouseRightClick, A::mouseDoubleClick, A::mouseMiddleClick,
    A::mouseScrollUp,   A::mouseScrollDown, A::mouseScrollLeft,  A::mouseScrollRight,
    A::mouseToggleDrag, A::mouseHoldLeft,   A::mouseReleaseLeft,
};

constexpr GestureAction everydayActions[] = {
    A::volumeUp,
    A::volumeDown,
    A::toggleMute,
    A::toggleMicrophoneMute,
    A::brightnessUp,
    A::brightnessDown,
    A::keyboardBrightnessUp,
    A::keyboardBrightnessDown,
    A::spotlight,
    A::missionControl,
    A::showDesktop,
    A::previousDesktop,
    A::nextDesktop,
    A::lockScreen,
    A::sleepComputer,
    A::toggleKeyboardLock,
    A::startCleaningMode,
    A::toggleDesktopIcons,
    A::openAccessibilityKeyboard,
    A::toggleKeepAwake,
    A::enableKeepAwake,
    A::disableKeepAwake,
    A::openFinder,
    A::openSystemSettings,
    A::openControlCenter,
    A::openNotificationCenter,
};

constexpr GestureAction screenshotActions[] = {
    A::screenshot,          A::screenshotArea,          A::screenshotTools,
    A::screenshotClipboard, A::screenshotAreaClipboard, A::screenshotWindowClipboard,
};

constexpr GestureAction applicationActions[] = {
    A::openApplication,
    A::newWindow,
    A::closeWindow,
    A::minimizeWindow,
    A::hideApplication,
    A::toggleFullScreen,
    A::forceQuitApplications,
    A::nextWindow,
    A::previousWindow,
    A::hideOtherApplications,
    A::applicationSettings,
    A::switchToPreviousApplication,
    A::openApplicationSwitcher,
    A::windowLeftHalf,
    A::windowRightHalf,
    A::centerWindow,
    A::maximizeWindow,
    A::restoreWindow,
    A::applicationExpose,
    A::moveWindowToNextDisplay,
};

constexpr GestureAction musicActions[] = {A::playPause, A::previousTrack, A::nextTrack};

constexpr GestureAction videoActions[] = {A::scrubVideo, A::seekBackward, A::seekForward};

constexpr GestureAction browsingActions[] = {
    A::previousTab,
    A::nextTab,
    A::newTab,
    A::closeTab,
    A::reopenTab,
    A::refreshPage,
    A::focusAddressBar,
    A::copyPageLink,
    A::copyPageTitleAndLink,
    A::back,
    A::forward,
    A::zoomIn,
    A::zoomOut,
    A::resetZoom,
    A::scrollToTop,
    A::scrollToBottom,
};

constexpr GestureAction editingActions[] = {
    A::copy,
    A::cut,
    A::paste,
    A::undo,
    A::redo,
    A::selectAll,
    A::find,
    A::save,
    A::emojiPicker,
    A::pasteMatchingStyle,
    A::clipboardPlainText,
    A::copyFilePath,
    A::quickLook,
    A::translateSelection,
};

constexpr GestureAction customActions[] = {A::openFile, A::openFolder, A::openURL, A::runShortcut, A::customShortcut};

constexpr GestureAction featured[] = {
    A::mouseLeftClick,     A::mouseRightClick,
    A::mouseDoubleClick,   A::mouseMiddleClick,
    A::mouseToggleDrag,    A::quickLook,
    A::pasteMatchingStyle, A::screenshotAreaClipboard,
    A::copyPageLink,       A::openApplicationSwitcher,
    A::openApplication,    A::forceQuitApplications,
    A::toggleMute,         A::switchToPreviousApplication,
    A::windowLeftHalf,     A::windowRightHalf,
    A::scrubVideo,         A::playPause,
};

void openSettingsLink(Workspace& workspace, const char* link) {
    const QUrl url(QString::fromLatin1(link), QUrl::StrictMode);
    if (!url.isValid()) return;
    workspace.openUrl(url);
}

}  // namespace

QString title(GestureAction action) { return enumTitle(action); }

QString symbolName(GestureAction action) { return QString::fromLatin1(enumRow(action).symbol); }

bool isContinuousAdjustment(GestureAction action) {
    switch (action) {
        case A::brightnessUp:
        case A::brightnessDown:
        case A::keyboardBrightnessUp:
        case A::keyboardBrightnessDown:
        case A::volumeUp:
        case A::volumeDown:
        case A::scrubVideo:
            return true;
        default:
            return false;
    }
}

bool requiresAccessibility(GestureAction action) {
    switch (action) {
        case A::none:
        case A::brightnessUp:
        case A::brightnessDown:
        case A::volumeUp:
        case A::volumeDown:
        case A::screenshotWindowClipboard:
        case A::copyPageLink:
        case A::copyPageTitleAndLink:
        case A::clipboardPlainText:
        case A::scrubVideo:
        case A::missionControl:
        case A::showDesktop:
        case A::openApplication:
        case A::sleepComputer:
        case A::toggleDesktopIcons:
        case A::enableKeepAwake:
        case A::disableKeepAwake:
        case A::toggleKeepAwake:
        case A::openFinder:
        case A::openSystemSettings:
        case A::hideOtherApplications:
        case A::toggleMute:
        case A::toggleMicrophoneMute:
        case A::switchToPreviousApplication:
        case A::openFile:
        case A::openFolder:
        case A::openURL:
        case A::runShortcut:
            return false;
        default:
            return true;
    }
}

std::optional<QString> detail(GestureAction action) {
    const char* text = enumRow(action).detail;
    if (text == nullptr) return std::nullopt;
    return localized(text);
}

QString searchKeywords(GestureAction action) {
    const char* words = enumRow(action).keywords;
    return *words == '\0' ? QString() : localized(words);
}

bool matchesSearch(GestureAction action, QStringView text) {
    const QStringView needle = text.trimmed();
    if (needle.isEmpty()) return action != A::none;
    return searchContains(title(action), needle) || searchContains(searchKeywords(action), needle) ||
           searchContains(enumRaw(action), needle);
}

std::optional<GestureActionCategory> category(GestureAction action) { return enumRow(action).category; }

std::span<const GestureAction> categoryActions(GestureActionCategory category) {
    switch (category) {
        case GestureActionCategory::mouse:
            return mouseActions;
        case GestureActionCategory::everyday:
            return everydayActions;
        case GestureActionCategory::screenshots:
            return screenshotActions;
        case GestureActionCategory::applications:
            return applicationActions;
        case GestureActionCategory::music:
            return musicActions;
        case GestureActionCategory::video:
            return videoActions;
        case GestureActionCategory::browsing:
            return browsingActions;
        case GestureActionCategory::editing:
            return editingActions;
        case GestureActionCategory::custom:
            return customActions;
    }
    return {};
}

std::span<const GestureAction> featuredActions() { return featured; }

std::optional<QString> unavailabilityOnDesktop(GestureAction action, const QString& currentDesktop) {
    const bool gnome = currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts)
                           .contains(QStringLiteral("GNOME"), Qt::CaseInsensitive);
    switch (action) {
        // GNOME Shell opens its notification list and quick settings on keys
        // of its own; other desktops offer neither to another program.
        case A::openControlCenter:
        case A::openNotificationCenter:
            if (gnome) return std::nullopt;
            return localized(GLIDRA_TEXT("此桌面不支持这个动作：没有可由其他程序打开的系统面板。"));
        case A::translateSelection:
            return localized(GLIDRA_TEXT("此桌面不支持这个动作：没有可用的系统翻译服务。"));
        case A::runShortcut:
            return localized(GLIDRA_TEXT("此桌面不支持这个动作：没有快捷指令应用。"));
        default:
            return std::nullopt;
    }
}

void openAutomationSettings(Workspace& workspace) {
    openSettingsLink(workspace, "x-apple.systempreferences:com.apple.preference.security?Privacy_Automation");
}

void openAccessibilitySettings(Workspace& workspace) {
    openSettingsLink(workspace, "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility");
}

}  // namespace glidra
