#include "dispatch/ActionDispatcher.h"

#include "actions/HeldModifierState.h"
#include "actions/ShortcutKeyOption.h"
#include "actions/ShortcutMediaKey.h"
#include "common/Localized.h"
#include "dispatch/BuiltInShortcuts.h"
#include "notices/AccessNotices.h"
#include "platform/AccessibilityTrust.h"
#include "platform/EventPoster.h"
#include "platform/FrontmostApplication.h"
#include "platform/Workspace.h"

#include <algorithm>
#include <array>

namespace glidra {

namespace {

using A = GestureAction;

template <std::size_t N>
bool among(const std::array<GestureAction, N>& set, GestureAction action) {
    return std::find(set.begin(), set.end(), action) != set.end();
}

constexpr std::array kSwitcherKeepingActions{
    A::brightnessUp,           A::brightnessDown, A::volumeUp,       A::volumeDown,       A::keyboardBrightnessUp,
    A::keyboardBrightnessDown, A::toggleMute,     A::mouseLeftClick, A::mouseDoubleClick, A::openApplicationSwitcher,
};

constexpr std::array kClickSequenceKeepingActions{A::mouseLeftClick, A::mouseRightClick, A::mouseMiddleClick};

constexpr std::array kFileManagerActions{A::quickLook, A::copyFilePath};

constexpr std::array kSystemPanelActions{A::openControlCenter, A::openNotificationCenter};

constexpr std::array kDragActions{A::mouseHoldLeft, A::mouseReleaseLeft, A::mouseToggleDrag};

constexpr std::array kMouseActions{
    A::mouseLeftClick, A::mouseRightClick, A::mouseDoubleClick, A::mouseMiddleClick,
    A::mouseScrollUp,  A::mouseScrollDown, A::mouseScrollLeft,  A::mouseScrollRight,
};

constexpr std::array kWindowLayoutActions{A::windowLeftHalf, A::windowRightHalf, A::centerWindow,
                                          A::maximizeWindow, A::restoreWindow,   A::moveWindowToNextDisplay};

// GNOME Files and KDE's Dolphin, whose previewer and copy the table's keys
// reach.
constexpr const char* kFileManagers[] = {"org.gnome.Nautilus.desktop", "org.kde.dolphin.desktop"};

constexpr std::uint16_t kEscapeKey = 53;
constexpr std::uint16_t kTabKey = 48;

std::optional<ShortcutMediaKey> mediaKeyOf(GestureAction action) {
    switch (action) {
        case A::playPause:
            return ShortcutMediaKey::playPause;
        case A::previousTrack:
            return ShortcutMediaKey::previousTrack;
        case A::nextTrack:
            return ShortcutMediaKey::nextTrack;
        default:
            return std::nullopt;
    }
}

HUDNotice notice(const char* text, const char* symbol, HUDNotice::Kind kind) {
    return HUDNotice{localized(text), QString::fromLatin1(symbol), kind};
}

}  // namespace

bool ActionDispatcher::keepsApplicationSwitcher(GestureAction action) { return among(kSwitcherKeepingActions, action); }

bool ActionDispatcher::keepsClickSequence(GestureAction action) { return among(kClickSequenceKeepingActions, action); }

bool ActionDispatcher::isFileManager(const std::optional<QString>& bundleIdentifier) {
    if (!bundleIdentifier) return false;
    return std::any_of(std::begin(kFileManagers), std::end(kFileManagers),
                       [&](const char* id) { return *bundleIdentifier == QLatin1String(id); });
}

QCoro::Task<HUDNotice> ActionDispatcher::performGestureAction(GestureBinding binding, CancellationToken token) {
    const GestureAction action = binding.action;
    InputActionExecutors& input = executors_.input;
    ApplicationActionExecutors& applications = executors_.applications;

    if (input.isApplicationSwitcherOpen() && !keepsApplicationSwitcher(action)) input.endApplicationSwitcher(true);
    if (!keepsClickSequence(action)) input.resetMouseClickSequence();

    if (auto answered = co_await executors_.content.performClipboardAction(action, token)) co_return *answered;
    if (action == A::screenshotWindowClipboard) co_return co_await executors_.content.startWindowScreenshot();
    if (auto answered = co_await applications.openActionTarget(binding)) co_return *answered;
    if (auto answered = co_await executors_.system.perform(action)) co_return *answered;

    // Opening an application needs no input permission.
    if (action == A::openApplication) co_return co_await openApplication(binding.applicationTarget);

    // Without a previewer, Space in the file manager only selects.
    if (action == A::quickLook && !ports_.workspace.hasFilePreviewer()) {
        co_return notice(GLIDRA_TEXT("没有安装文件预览程序"), "eye", HUDNotice::Kind::error);
    }
    if (among(kFileManagerActions, action) && !isFileManager(ports_.frontmostApplication.bundleIdentifier())) {
        co_return notice(GLIDRA_TEXT("请先在文件管理器中选中文件"), "eye", HUDNotice::Kind::information);
    }
    // Everything from here on synthesises input or reaches into other
    // applications.
    if (!ports_.accessibilityTrust.isProcessTrusted()) co_return inputAccessRequiredNotice();

    if (action == A::openAccessibilityKeyboard) {
        const bool shown = co_await applications.toggleAccessibilityKeyboard(token);
        const QString symbol = symbolName(action);
        if (shown) co_return HUDNotice{localized(GLIDRA_TEXT("已显示悬浮键盘")), symbol, HUDNotice::Kind::success};
        co_return HUDNotice{localized(GLIDRA_TEXT("无法打开悬浮键盘")), symbol, HUDNotice::Kind::error};
    }
    if (among(kSystemPanelActions, action)) co_return co_await applications.openSystemPanel(action);
    if (among(kDragActions, action)) co_return input.performMouseDrag(action);
    if (action == A::forceQuitApplications) co_return co_await applications.openForceQuitWindow(token);
    if (action == A::openApplicationSwitcher) co_return input.beginApplicationSwitcher();
    if (among(kMouseActions, action)) co_return input.performMouseAction(action);
    if (action == A::closeWindow) co_return co_await applications.closeFrontWindow();
    if (action == A::minimizeWindow) {
        auto minimizing = applications.minimizeFrontWindow();
        if (const std::optional<HUDNotice> minimized = co_await minimizing) co_return *minimized;
    }
    if (action == A::translateSelection) co_return executors_.content.translateSelection();
    if (among(kWindowLayoutActions, action)) co_return co_await applications.performWindowLayout(action);
    if (mediaKeyOf(action)) co_return sendMediaAction(action);
    if (action == A::customShortcut) co_return co_await performCustomShortcut(binding.shortcut, token);

    const auto row = builtInShortcut(action);
    // none, and the continuous actions, which the controller carries out
    // itself when they come from a gesture.
    if (!row) co_return notice(GLIDRA_TEXT("尚未设置动作"), "info.circle", HUDNotice::Kind::information);
    co_return sendShortcut(row->keyCode, row->flags, title(action), symbolName(action));
}

QCoro::Task<HUDNotice> ActionDispatcher::openApplication(std::optional<ApplicationTarget> target) {
    if (!target) co_return notice(GLIDRA_TEXT("请先选择应用"), "app", HUDNotice::Kind::error);
    const auto url = target->resolvedUrl(ports_.workspace);
    if (!url) co_return notice(GLIDRA_TEXT("找不到应用，请重新选择"), "app", HUDNotice::Kind::error);
    const bool opened = co_await executors_.applications.openApplication(url->toLocalFile());
    if (opened) co_return HUDNotice{target->name, QStringLiteral("app"), HUDNotice::Kind::success};
    co_return HUDNotice{localized(GLIDRA_TEXT("无法打开 ")) + target->name, QStringLiteral("app"),
                        HUDNotice::Kind::error};
}

QCoro::Task<HUDNotice> ActionDispatcher::performCustomShortcut(std::optional<KeyboardShortcut> shortcut,
                                                               CancellationToken token) {
    if (!shortcut) co_return notice(GLIDRA_TEXT("请先设置快捷键"), "keyboard", HUDNotice::Kind::error);
    if (shortcut->mediaKey) {
        co_return executors_.input.postMediaKey(shortcut->modifiers, shortcut->displayLabel(), shortcut->mediaKey);
    }
    using namespace modifier_flag;
    // Caps Lock and the other bits a recording may have kept do not belong
    // to the combination.
    const std::uint64_t modifiers = shortcut->modifiers & shortcutMask;
    if (shortcut->keyCode == kEscapeKey && modifiers == (command | option)) {
        co_return co_await executors_.applications.openForceQuitWindow(token);
    }
    // Alt+Tab, the desktop's switcher key, goes back to the previous
    // application; a bare tap of it would only flash the switcher.
    if (shortcut->keyCode == kTabKey && modifiers == option) {
        co_return executors_.applications.switchToPreviousApplication();
    }
    co_return sendShortcut(shortcut->keyCode, modifiers, shortcut->displayLabel(), symbolName(A::customShortcut));
}

HUDNotice ActionDispatcher::sendMediaAction(GestureAction action) {
    // Both events are made before either is posted: a press without its
    // release would leave the key held.
    const auto events = makeMediaKeyEvents(ports_.poster, keyType(*mediaKeyOf(action)));
    if (!events) return notice(GLIDRA_TEXT("媒体控制暂不可用"), "exclamationmark.circle", HUDNotice::Kind::error);
    ports_.poster.post(events->first);
    ports_.poster.post(events->second);
    return HUDNotice{title(action), symbolName(action), HUDNotice::Kind::success};
}

HUDNotice ActionDispatcher::sendShortcut(std::uint16_t keyCode, std::uint64_t downFlags, const QString& text,
                                         const QString& symbol) {
    // The key-up carries what the user holds now, so a held Shift stays held
    // for the application.
    const std::uint64_t held = heldModifierState(ports_.keyboard);
    const auto events = ShortcutKeyOption::postKeyEvents(ports_.poster, keyCode, downFlags, held);
    if (!events) return notice(GLIDRA_TEXT("快捷键暂不可用"), "exclamationmark.circle", HUDNotice::Kind::error);
    ports_.poster.post(events->first);
    ports_.poster.post(events->second);
    return HUDNotice{text, symbol, HUDNotice::Kind::success};
}

}  // namespace glidra
