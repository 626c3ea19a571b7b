// The action dispatcher on the sim platform: the order in which executors are
// asked, the permission and file-manager checks, the keys it sends itself
// (the built-in table, recorded shortcuts, media keys) and what it tidies up
// before an action.

#include "dispatch/BuiltInShortcuts.h"
#include "executors/ExecutorFixture.h"
#include "notices/AccessNotices.h"
#include "support/TaskResult.h"

#include <set>

namespace glidra::test {
namespace {

using A = GestureAction;

const QString kNautilus = QStringLiteral("org.gnome.Nautilus.desktop");
const HUDNotice kNothingToDo{QStringLiteral("尚未设置动作"), QStringLiteral("info.circle"),
                             HUDNotice::Kind::information};
const HUDNotice kKeysUnavailable{QStringLiteral("快捷键暂不可用"), QStringLiteral("exclamationmark.circle"),
                                 HUDNotice::Kind::error};

HUDNotice succeeded(GestureAction action) {
    return HUDNotice{title(action), symbolName(action), HUDNotice::Kind::success};
}

std::vector<PostedKey> stroke(std::uint16_t keyCode, std::uint64_t downFlags, std::uint64_t upFlags = 0) {
    return {{Type::keyDown, keyCode, downFlags}, {Type::keyUp, keyCode, upFlags}};
}

KeyboardShortcut recorded(std::uint16_t keyCode, std::uint64_t modifiers, const char* label) {
    return KeyboardShortcut{keyCode, modifiers, QString::fromUtf8(label), std::nullopt};
}

class ActionDispatcherTest : public ExecutorTest {
protected:
    ActionDispatcherTest() {
        h.frontmost.setBundleIdentifier(QStringLiteral("firefox-esr.desktop"));
        workspace.setHasFilePreviewer(true);
    }

    HUDNotice run(GestureBinding binding) { return runWith(*dispatcher, std::move(binding)); }
    HUDNotice runWith(ActionDispatcher& road, GestureBinding binding) {
        clearEvents();
        groups.calls.clear();
        const auto result = resultOf(road.performGestureAction(std::move(binding), {}));
        SimTime::drain();
        EXPECT_TRUE(result->has_value());
        return result->value_or(HUDNotice{});
    }
    HUDNotice run(GestureAction action) {
        GestureBinding binding;
        binding.action = action;
        return run(binding);
    }
    HUDNotice runShortcut(std::optional<KeyboardShortcut> shortcut) {
        GestureBinding binding;
        binding.action = A::customShortcut;
        binding.shortcut = std::move(shortcut);
        return run(binding);
    }
};

TEST_F(ActionDispatcherTest, EveryRowOfTheBuiltInTableSendsItsKeysFromThePrivateSource) {
    h.frontmost.setBundleIdentifier(kNautilus);
    std::set<GestureAction> actions;
    for (const BuiltInShortcut& row : builtInShortcuts()) {
        SCOPED_TRACE(enumRaw(row.action).toStdString());
        actions.insert(row.action);
        EXPECT_EQ(run(row.action), succeeded(row.action));
        EXPECT_EQ(keysOf(poster.posted()), stroke(row.keyCode, row.flags));
        for (const InputEvent& event : poster.posted()) EXPECT_EQ(event.userData, kShortcutEventMarker);
        QStringList asked{QStringLiteral("target(%1)").arg(enumRaw(row.action)),
                          QStringLiteral("system(%1)").arg(enumRaw(row.action))};
        // The window control is asked first, and had no window to minimise.
        if (row.action == A::minimizeWindow) asked.append(QStringLiteral("minimizeWindow"));
        EXPECT_EQ(groups.calls, asked);
    }
    EXPECT_EQ(actions.size(), 43u);
}

TEST_F(ActionDispatcherTest, AWindowTheWindowControlMinimisesTakesNoShortcut) {
    const HUDNotice minimized = succeeded(A::minimizeWindow);
    groups.minimizeAnswer = minimized;
    EXPECT_EQ(run(A::minimizeWindow), minimized);
    EXPECT_EQ(groups.calls.last(), QStringLiteral("minimizeWindow"));
    EXPECT_TRUE(poster.posted().empty()) << "no Super+H on top";
}

TEST_F(ActionDispatcherTest, TheTableUsesTheKeysOfTheLinuxDesktopAndItsApplications) {
    struct Case {
        GestureAction action;
        std::uint16_t keyCode;
        std::uint64_t flags;
    };
    const Case cases[] = {
        {A::copy, 8, control},                        // Ctrl+C
        {A::newTab, 17, control},                     // Ctrl+T
        {A::reopenTab, 17, control | shift},          // Ctrl+Shift+T
        {A::redo, 6, control | shift},                // Ctrl+Shift+Z
        {A::back, 123, option},                       // Alt+Left
        {A::toggleFullScreen, 103, 0},                // F11
        {A::lockScreen, 37, command},                 // Super+L
        {A::screenshot, 105, shift},                  // Shift+Print
        {A::screenshotTools, 105, 0},                 // Print
        {A::previousTab, 48, control | shift},        // Ctrl+Shift+Tab
        {A::seekBackward, 123, 0},                    // a bare Left
        {A::previousDesktop, 123, control | option},  // Ctrl+Alt+Left
        {A::nextWindow, 50, option},                  // Alt+`
        {A::spotlight, 55, 0},                        // Super alone
        {A::pasteMatchingStyle, 9, control | shift},  // Ctrl+Shift+V
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(enumRaw(tc.action).toStdString());
        run(tc.action);
        EXPECT_EQ(keysOf(poster.posted()), stroke(tc.keyCode, tc.flags));
    }
}

TEST_F(ActionDispatcherTest, TheKeyUpCarriesTheModifiersTheUserHoldsNow) {
    h.keyboard.press(56);  // left Shift
    h.keyboard.setCombinedFlags(shift);
    run(A::copy);
    EXPECT_EQ(keysOf(poster.posted()), stroke(8, control, shift));
}

TEST_F(ActionDispatcherTest, KeysThatCannotBeMadeAreNotSentAtAll) {
    poster.failEventCreation(1);  // the key-down is made, its key-up is not
    EXPECT_EQ(run(A::copy), kKeysUnavailable);
    EXPECT_TRUE(poster.posted().empty());
}

TEST_F(ActionDispatcherTest, MediaActionsSendThePressAndTheReleaseOrNothing) {
    EXPECT_EQ(run(A::playPause), succeeded(A::playPause));
    ASSERT_EQ(poster.posted().size(), 2u);
    EXPECT_EQ(poster.posted()[0], mediaKeyEvent(ShortcutMediaKey::playPause, true));
    EXPECT_EQ(poster.posted()[1], mediaKeyEvent(ShortcutMediaKey::playPause, false));
    run(A::nextTrack);
    EXPECT_EQ(poster.posted().at(0).data1, (17 << 16) | 0xA00);

    // A press whose release cannot be made would stay held: neither is sent.
    poster.failEventCreation(1);
    EXPECT_EQ(run(A::previousTrack), (HUDNotice{QStringLiteral("媒体控制暂不可用"),
                                                QStringLiteral("exclamationmark.circle"), HUDNotice::Kind::error}));
    EXPECT_TRUE(poster.posted().empty());
}

TEST_F(ActionDispatcherTest, NoneAndTheContinuousActionsHaveNothingToDoOnceTrusted) {
    for (GestureAction action : {A::none, A::brightnessUp, A::brightnessDown, A::volumeUp, A::volumeDown,
                                 A::keyboardBrightnessUp, A::keyboardBrightnessDown, A::scrubVideo}) {
        SCOPED_TRACE(enumRaw(action).toStdString());
        h.accessibilityTrust.setTrusted(true);
        EXPECT_EQ(run(action), kNothingToDo);
        h.accessibilityTrust.setTrusted(false);
        EXPECT_EQ(run(action), inputAccessRequiredNotice());
        EXPECT_TRUE(poster.posted().empty());
    }
}

TEST_F(ActionDispatcherTest, FileActionsWantAFileManagerInFrontBeforeThePermission) {
    const HUDNotice selectFirst{QStringLiteral("请先在文件管理器中选中文件"), QStringLiteral("eye"),
                                HUDNotice::Kind::information};
    h.accessibilityTrust.setTrusted(false);
    EXPECT_EQ(run(A::quickLook), selectFirst);
    h.frontmost.setBundleIdentifier(std::nullopt);
    EXPECT_EQ(run(A::copyFilePath), selectFirst);
    h.frontmost.setBundleIdentifier(kNautilus);
    EXPECT_EQ(run(A::quickLook), inputAccessRequiredNotice());

    h.accessibilityTrust.setTrusted(true);
    h.frontmost.setBundleIdentifier(QStringLiteral("org.kde.dolphin.desktop"));
    EXPECT_EQ(run(A::quickLook), succeeded(A::quickLook));
    EXPECT_EQ(keysOf(poster.posted()), stroke(49, 0));
    // The identifier is compared whole.
    h.frontmost.setBundleIdentifier(QStringLiteral("org.gnome.Nautilus"));
    EXPECT_EQ(run(A::copyFilePath), selectFirst);

    // Without a previewer, Space would only select: nothing is sent.
    workspace.setHasFilePreviewer(false);
    h.frontmost.setBundleIdentifier(kNautilus);
    EXPECT_EQ(run(A::quickLook),
              (HUDNotice{QStringLiteral("没有安装文件预览程序"), QStringLiteral("eye"), HUDNotice::Kind::error}));
    EXPECT_TRUE(poster.posted().empty());
    EXPECT_EQ(run(A::copyFilePath), succeeded(A::copyFilePath));
}

TEST_F(ActionDispatcherTest, OpeningAnApplicationNeedsNoPermissionAndNamesIt) {
    h.accessibilityTrust.setTrusted(false);
    workspace.installApplication(QStringLiteral("org.gnome.TextEditor.desktop"),
                                 QStringLiteral("/usr/share/applications/org.gnome.TextEditor.desktop"));
    const ApplicationTarget editor{QStringLiteral("/nowhere/org.gnome.TextEditor.desktop"),
                                   QStringLiteral("org.gnome.TextEditor.desktop"), QStringLiteral("文本编辑器")};
    const ApplicationTarget gone{QStringLiteral("/nowhere/gone.desktop"), QStringLiteral("gone.desktop"),
                                 QStringLiteral("已卸载")};
    GestureBinding binding;
    binding.action = A::openApplication;

    EXPECT_EQ(run(binding), (HUDNotice{QStringLiteral("请先选择应用"), QStringLiteral("app"), HUDNotice::Kind::error}));
    binding.applicationTarget = gone;
    EXPECT_EQ(run(binding),
              (HUDNotice{QStringLiteral("找不到应用，请重新选择"), QStringLiteral("app"), HUDNotice::Kind::error}));
    EXPECT_TRUE(groups.calls.filter(QStringLiteral("openApplication(/")).isEmpty());

    binding.applicationTarget = editor;
    EXPECT_EQ(run(binding), (HUDNotice{QStringLiteral("文本编辑器"), QStringLiteral("app"), HUDNotice::Kind::success}));
    EXPECT_EQ(groups.calls.last(),
              QStringLiteral("openApplication(/usr/share/applications/org.gnome.TextEditor.desktop)"));
    groups.applicationOpens = false;
    EXPECT_EQ(run(binding),
              (HUDNotice{QStringLiteral("无法打开 文本编辑器"), QStringLiteral("app"), HUDNotice::Kind::error}));
}

TEST_F(ActionDispatcherTest, ARecordedShortcutIsSentAsRecordedSaveTwoCombinations) {
    struct Case {
        const char* name;
        std::optional<KeyboardShortcut> shortcut;
        HUDNotice notice;
        std::vector<PostedKey> keys;
        QString call;
    };
    const HUDNotice done = groups.answer;
    const auto sent = [](const char* label) {
        return HUDNotice{QString::fromUtf8(label), QStringLiteral("keyboard"), HUDNotice::Kind::success};
    };
    const Case cases[] = {
        {"none",
         std::nullopt,
         {QStringLiteral("请先设置快捷键"), QStringLiteral("keyboard"), HUDNotice::Kind::error},
         {},
         {}},
        {"Ctrl+K", recorded(40, control, "Ctrl+K"), sent("Ctrl+K"), stroke(40, control), {}},
        {"Caps Lock is no part of it, and an older label shows the key names",
         recorded(40, capsLock | control, "⌃K"),
         sent("Ctrl+K"),
         stroke(40, control),
         {}},
        {"the force-quit keys", recorded(53, command | option, "⌥⌘Esc"), done, {}, QStringLiteral("forceQuit")},
        {"force quit with Shift is keys",
         recorded(53, command | option | shift, "⌥⇧⌘Esc"),
         sent("Alt+Shift+Super+Esc"),
         stroke(53, command | option | shift),
         {}},
        {"Alt+Tab", recorded(48, option, "Alt+Tab"), done, {}, QStringLiteral("previousApplication")},
        {"Alt+Shift+Tab is keys",
         recorded(48, option | shift, "⌥⇧Tab"),
         sent("Alt+Shift+Tab"),
         stroke(48, option | shift),
         {}},
        {"Super+Tab is keys", recorded(48, command, "Super+Tab"), sent("Super+Tab"), stroke(48, command), {}},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        EXPECT_EQ(runShortcut(tc.shortcut), tc.notice);
        EXPECT_EQ(keysOf(poster.posted()), tc.keys);
        EXPECT_EQ(groups.calls.contains(tc.call), !tc.call.isEmpty());
    }

    KeyboardShortcut mediaKey = recorded(0, 0, "下一首");
    mediaKey.mediaKey = ShortcutMediaKey::nextTrack;
    EXPECT_EQ(runShortcut(mediaKey), sent("下一首"));
    EXPECT_EQ(poster.posted().size(), 2u);
    EXPECT_EQ(poster.posted().at(0).data1, (17 << 16) | 0xA00);
}

TEST_F(ActionDispatcherTest, OnlySingleClicksContinueTheClickSequence) {
    run(A::mouseLeftClick);
    run(A::mouseLeftClick);
    EXPECT_EQ(poster.posted().at(0).clickState, 2) << "the left click continued the sequence";
    run(A::mouseDoubleClick);
    run(A::mouseLeftClick);
    EXPECT_EQ(poster.posted().at(0).clickState, 1) << "the double click broke it";
    run(A::mouseLeftClick);
    run(A::copy);
    run(A::mouseLeftClick);
    EXPECT_EQ(poster.posted().at(0).clickState, 1) << "any other action breaks it";
}

TEST_F(ActionDispatcherTest, LevelsAndClicksLeaveAnOpenSwitcherOpenEverythingElseClosesItFirst) {
    for (GestureAction action : {A::volumeUp, A::toggleMute, A::mouseLeftClick, A::openApplicationSwitcher}) {
        switcher().begin();
        run(action);
        EXPECT_TRUE(switcher().isOpen()) << enumRaw(action).toStdString();
    }
    run(A::copy);
    EXPECT_FALSE(switcher().isOpen());
    // Dismissed first, Super let go, then the copy.
    auto expected =
        std::vector<PostedKey>{{Type::keyDown, 53, command}, {Type::keyUp, 53, command}, {Type::keyUp, 55, 0}};
    const auto copy = stroke(8, control);
    expected.insert(expected.end(), copy.begin(), copy.end());
    EXPECT_EQ(keysOf(poster.posted()), expected);
}

TEST_F(ActionDispatcherTest, TheFirstExecutorToAnswerEndsTheRoad) {
    // Every executor that may pass an action on is a stand-in here.
    ActionDispatcher road(ActionDispatcher::Ports{poster, h.keyboard, h.frontmost, h.accessibilityTrust, workspace},
                          ActionDispatcher::Executors{*executors, groups, groups, groups});
    const auto run = [&](GestureAction action) {
        GestureBinding binding;
        binding.action = action;
        return runWith(road, binding);
    };
    const HUDNotice answered{QStringLiteral("已复制链接"), QStringLiteral("link"), HUDNotice::Kind::success};
    groups.clipboardAnswers[A::copyPageLink] = answered;
    EXPECT_EQ(run(A::copyPageLink), answered);
    EXPECT_EQ(groups.calls, QStringList{QStringLiteral("clipboard(copyPageLink)")});

    EXPECT_EQ(run(A::screenshotWindowClipboard), groups.answer);
    EXPECT_EQ(groups.calls, (QStringList{QStringLiteral("clipboard(screenshotWindowClipboard)"),
                                         QStringLiteral("windowScreenshot")}));

    groups.targetAnswers[A::openURL] = answered;
    EXPECT_EQ(run(A::openURL), answered);
    EXPECT_EQ(groups.calls, (QStringList{QStringLiteral("clipboard(openURL)"), QStringLiteral("target(openURL)")}));

    // Even an action of the key table, when the system executor takes it.
    groups.systemAnswers[A::copy] = answered;
    EXPECT_EQ(run(A::copy), answered);
    EXPECT_TRUE(poster.posted().empty());
}

TEST_F(ActionDispatcherTest, TheRestOfTheCatalogueGoesToItsExecutorOnceTrusted) {
    struct Case {
        GestureAction action;
        QString call;  // of the stand-in executors; empty for the executors of the sim platform
    };
    const Case cases[] = {
        {A::openControlCenter, QStringLiteral("panel(openControlCenter)")},
        {A::openNotificationCenter, QStringLiteral("panel(openNotificationCenter)")},
        {A::forceQuitApplications, QStringLiteral("forceQuit")},
        {A::closeWindow, QStringLiteral("closeWindow")},
        {A::translateSelection, {}},
        {A::windowLeftHalf, QStringLiteral("layout(windowLeftHalf)")},
        {A::moveWindowToNextDisplay, QStringLiteral("layout(moveWindowToNextDisplay)")},
        {A::openAccessibilityKeyboard, QStringLiteral("accessibilityKeyboard")},
        {A::mouseHoldLeft, {}},
        {A::openApplicationSwitcher, {}},
        {A::mouseScrollDown, {}},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(enumRaw(tc.action).toStdString());
        h.accessibilityTrust.setTrusted(false);
        EXPECT_EQ(run(tc.action), inputAccessRequiredNotice());
        EXPECT_EQ(groups.calls.size(), 2) << "asked only the executors before the permission";
        EXPECT_TRUE(poster.posted().empty());

        h.accessibilityTrust.setTrusted(true);
        const HUDNotice notice = run(tc.action);
        if (!tc.call.isEmpty()) {
            EXPECT_EQ(groups.calls.last(), tc.call);
        } else {
            EXPECT_EQ(groups.calls.size(), 2);
        }
        EXPECT_NE(notice, kNothingToDo);
        drag().release(false);
        switcher().end(true);
    }

    groups.keyboardShows = false;
    EXPECT_EQ(run(A::openAccessibilityKeyboard),
              (HUDNotice{QStringLiteral("无法打开悬浮键盘"), QStringLiteral("keyboard"), HUDNotice::Kind::error}));
    groups.keyboardShows = true;
    EXPECT_EQ(run(A::openAccessibilityKeyboard),
              (HUDNotice{QStringLiteral("已显示悬浮键盘"), QStringLiteral("keyboard"), HUDNotice::Kind::success}));
}

}  // namespace
}  // namespace glidra::test
