// The status line of the menu and window, the HUD position preview, the
// front application record and the application's version.

#include "support/ControllerHarness.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QSignalSpy>

#include <functional>

namespace glidra {
namespace {

TEST(StatusLineTest, TheFirstStateThatHoldsNamesIt) {
    using Setup = std::function<void(TrackpadController&)>;
    const auto on = [](TrackpadController& c) {
        c.setEnabled(true);
        c.setListening(true);
    };
    const struct {
        const char* text;
        Setup setup;
    } rows[] = {
        // Control off hides every other flag.
        {"已暂停",
         [](TrackpadController& c) {
             c.setListening(true);
             c.setTransferringConfiguration(true);
             c.setPracticeMode(true);
         }},
        {"等待触控板连接",
         [](TrackpadController& c) {
             c.setEnabled(true);
             c.setShowingApplicationSwitcher(true);
         }},
        {"配置操作中 · 控制暂停",
         [on](TrackpadController& c) {
             on(c);
             c.setTransferringConfiguration(true);
             c.setShowingApplicationSwitcher(true);
         }},
        // Not a suspension, but named before one.
        {"选择应用中",
         [on](TrackpadController& c) {
             on(c);
             c.setShowingApplicationSwitcher(true);
             c.setSelectingScreenshot(true);
         }},
        {"选择截图窗口中",
         [on](TrackpadController& c) {
             on(c);
             c.setSelectingScreenshot(true);
             c.setReviewingConflicts(true);
         }},
        {"设置中 · 控制暂停",
         [on](TrackpadController& c) {
             on(c);
             c.setSettingUpGesture(true);
             c.setPracticeMode(true);
         }},
        {"设置中 · 控制暂停",
         [on](TrackpadController& c) {
             on(c);
             c.setRecordingShortcut(true);
             c.setLearningGesture(true);
         }},
        // Capturing lifts the suspension of the open editor.
        {"正在录入手势",
         [on](TrackpadController& c) {
             on(c);
             c.setSettingUpGesture(true);
             c.setLearningGesture(true);
             c.setPracticeMode(true);
         }},
        {"练习中",
         [on](TrackpadController& c) {
             on(c);
             c.setPracticeMode(true);
         }},
        {"运行中", on},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        test::ControllerHarness h;
        row.setup(*h.controller);
        EXPECT_EQ(h.controller->menuStatusText(), QString::fromUtf8(row.text));
    }
}

TEST(StatusLineTest, TheMiddleDotHasOneSpaceOnEachSide) {
    test::ControllerHarness h;
    h.controller->setEnabled(true);
    h.controller->setListening(true);
    h.controller->setTransferringConfiguration(true);
    EXPECT_EQ(h.controller->menuStatusText(), QStringLiteral("配置操作中 \u00B7 控制暂停"));
}

TEST(StatusLineTest, PreviewingTheHintPositionShowsANoticeOnlyWhenHintsAreOn) {
    test::ControllerHarness h;
    h.settings.setShowOperationHints(false);
    h.controller->previewHintPosition();
    EXPECT_TRUE(h.log.calls.isEmpty());

    h.settings.setShowOperationHints(true);
    h.controller->previewHintPosition();
    EXPECT_EQ(h.log.calls, (QStringList{QStringLiteral("hud.hide"), QStringLiteral("hud.show(提示位置)")}));
    ASSERT_EQ(h.hud->notices.size(), 1u);
    EXPECT_EQ(h.hud->notices[0], (HUDNotice{QStringLiteral("提示位置"), QStringLiteral("rectangle.inset.filled"),
                                            HUDNotice::Kind::success}));
}

TEST(StatusLineTest, TheFrontApplicationNotifiesOnlyWhenItChanges) {
    test::ControllerHarness h;
    QSignalSpy changed(h.controller.get(), &TrackpadController::currentApplicationIDChanged);
    h.controller->setCurrentApplicationID(QStringLiteral("com.example.editor"));
    h.controller->setCurrentApplicationID(QStringLiteral("com.example.editor"));
    EXPECT_EQ(changed.count(), 1);
    h.controller->setCurrentApplicationID(std::nullopt);
    h.controller->setCurrentApplicationID(QString());  // present, though empty
    EXPECT_EQ(changed.count(), 3);
}

TEST(StatusLineTest, TheBuildVersionIsTheApplicationVersionOrUnknown) {
    const QString saved = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QString());
    EXPECT_EQ(TrackpadController::bundleBuildVersion(), QStringLiteral("unknown"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.4.2"));
    EXPECT_EQ(TrackpadController::bundleBuildVersion(), QStringLiteral("1.4.2"));
    QCoreApplication::setApplicationVersion(saved);
}

}  // namespace
}  // namespace glidra
