#include "app/TrackpadSetupGuide.h"
#include "app/TrackpadSetupNotice.h"
#include "platform/DesktopIntegration.h"
#include "settings/ControlSettings.h"
#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "trackpad/TypingActivityMonitor.h"
#include "views/kit/ShellCommandView.h"
#include "views/kit/SymbolLabel.h"
#include "views/kit/SystemSettingsPanes.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTest>

namespace glidra {
namespace {

using Card = TrackpadSetupGuide::Card;
using A = GestureAction;

class SetupGuideTest : public ::testing::Test {
protected:
    test::UiHarness ui;
    TrackpadController& c = ui.controller;
    ControlSettings& settings = ui.h.settings;

    SetupGuideTest() {
        // Every binding neutral: brightness, volume and nothing.
        std::vector<GestureBinding> bindings = GestureBinding::defaultBindings();
        for (auto& binding : bindings) {
            if (requiresAccessibility(binding.action)) binding.action = A::volumeUp;
        }
        settings.setBindings(bindings);
    }

    std::unique_ptr<TrackpadSetupGuide> makeGuide() {
        auto guide = std::make_unique<TrackpadSetupGuide>(ui.context);
        fit(*guide);
        guide->show();
        return guide;
    }
    // As a page's column lays it out: wrapped lines take their height.
    static void fit(TrackpadSetupGuide& guide) {
        QCoreApplication::sendPostedEvents();
        if (guide.layout()) guide.layout()->activate();
        guide.resize(700, guide.hasHeightForWidth() ? guide.heightForWidth(700) : guide.sizeHint().height());
    }
    void switchOnListening() {
        ui.switchOnWithTrackpad();
        ASSERT_TRUE(c.isListening());
    }
    static GestureRule rule(GestureAction action, bool enabled = true) {
        GestureRule made;
        made.action = action;
        made.isEnabled = enabled;
        return made;
    }
};

TEST_F(SetupGuideTest, ShowsTheCardOfTheFirstUnmetCondition) {
    auto guide = makeGuide();
    EXPECT_EQ(guide->card(), Card::paused);
    ASSERT_NE(guide->notice(), nullptr);
    EXPECT_EQ(guide->notice()->title(), QStringLiteral("触控板控制已暂停"));
    test::saveForReview(test::pictureOf(*guide), QStringLiteral("setup-card-paused"));

    // Pressing the card's button switches control on. Without input access
    // no touchpad can be read, so the access card comes before the waiting one,
    // whatever the rules.
    QTest::mouseClick(guide->notice()->button(), Qt::LeftButton);
    test::UiHarness::flushDeletes();
    EXPECT_TRUE(c.isEnabled());
    EXPECT_EQ(guide->card(), Card::accessibility);

    // With access and still no trackpad, the waiting card.
    ui.h.accessibilityTrust.setTrusted(true);
    guide->refreshPermission();
    test::UiHarness::flushDeletes();
    EXPECT_EQ(guide->card(), Card::waitingForTrackpad);
    EXPECT_EQ(guide->notice()->button()->text(), QStringLiteral("重新连接触控板"));
    test::saveForReview(test::pictureOf(*guide), QStringLiteral("setup-card-waiting"));

    // The trackpad arrives and the retry listens: no card for neutral actions.
    ui.framework.addDevice();
    QTest::mouseClick(guide->notice()->button(), Qt::LeftButton);
    test::UiHarness::flushDeletes();
    EXPECT_TRUE(c.isListening());
    EXPECT_EQ(guide->card(), std::nullopt);
    EXPECT_FALSE(guide->isVisibleTo(guide.get()) && guide->notice());
}

// A first start: control paused and no input access. The one card says
// both, with the command of each grant, before anything is pressed.
TEST_F(SetupGuideTest, AFirstStartWithoutInputAccessShowsTheGrantsOnThePausedCard) {
    auto guide = makeGuide();
    test::UiHarness::flushDeletes();
    ASSERT_EQ(guide->card(), Card::paused);
    EXPECT_EQ(guide->notice()->title(), QStringLiteral("触控板控制已暂停"));
    EXPECT_EQ(guide->notice()->button()->text(), QStringLiteral("启用触控板控制"));
    EXPECT_EQ(guide->notice()->message(), QStringLiteral("启用后即可使用自定义手势和边缘控制。\n") +
                                              kit::inputGrantsInstruction(InputService::notInstalled));
    const auto commandsShown = [&] {
        int shown = 0;
        for (auto* command : guide->findChildren<kit::ShellCommandView*>()) shown += command->isVisibleTo(guide.get());
        return shown;
    };
    EXPECT_EQ(commandsShown(), 3);
    fit(*guide);
    test::saveForReview(test::pictureOf(*guide), QStringLiteral("setup-card-first-start"));

    // The access granted, back in the window: the card is the plain one.
    ui.h.accessibilityTrust.setTrusted(true);
    ui.scenePhase.setPhase(ScenePhase::Phase::inactive);
    ui.scenePhase.setPhase(ScenePhase::Phase::active);
    test::UiHarness::flushDeletes();
    ASSERT_EQ(guide->card(), Card::paused);
    EXPECT_EQ(guide->notice()->message(), QStringLiteral("启用后即可使用自定义手势和边缘控制。"));
    EXPECT_EQ(commandsShown(), 0);
}

TEST_F(SetupGuideTest, TheAccessCardGoesByItselfOnceTheTouchpadCanBeRead) {
    c.toggleEnabled();
    auto guide = makeGuide();
    EXPECT_EQ(guide->card(), Card::accessibility);

    // Granted while the window stays in front: once the touchpad is heard,
    // the card goes without the window being activated again.
    ui.h.accessibilityTrust.setTrusted(true);
    ui.framework.addDevice();
    c.reconnect();
    test::UiHarness::flushDeletes();
    ASSERT_TRUE(c.isListening());
    EXPECT_TRUE(guide->permissionGranted());
    EXPECT_EQ(guide->card(), std::nullopt);
}

// Input access alone leaves native Wayland windows unknown: the card says
// what else is missing, and drops it once the add-on answers.
TEST_F(SetupGuideTest, TheAccessCardNamesAMissingDesktopAddOnUntilItAnswers) {
    using Companion = DesktopIntegration::Companion;
    c.toggleEnabled();
    ui.desktop.setDesktop(SystemGestureDesktop::gnome, Companion::gnomeShellExtension, false);
    auto guide = makeGuide();
    ASSERT_EQ(guide->card(), Card::accessibility);
    const QString grants = kit::inputGrantsInstruction(InputService::notInstalled);
    EXPECT_EQ(guide->notice()->message(),
              grants + QStringLiteral(
                           "\n原生 Wayland 窗口还需要 Glidra 的 GNOME Shell 扩展：启用方法见通用设置中的“桌面扩展”。"));

    ui.desktop.setDesktop(SystemGestureDesktop::plasmaWayland, Companion::kwinScript, false);
    test::UiHarness::flushDeletes();
    EXPECT_EQ(
        guide->notice()->message(),
        grants + QStringLiteral("\n原生 Wayland 窗口还需要 Glidra 的 KWin 脚本：启用方法见通用设置中的“桌面扩展”。"));

    ui.desktop.setDesktop(SystemGestureDesktop::plasmaWayland, Companion::kwinScript, true);
    test::UiHarness::flushDeletes();
    ASSERT_EQ(guide->card(), Card::accessibility);
    EXPECT_EQ(guide->notice()->message(), grants);
}

TEST_F(SetupGuideTest, TheWaitingCardSpeaksOfPairingOnlyForAPairedBluetoothTrackpad) {
    ui.h.accessibilityTrust.setTrusted(true);
    auto& connector = static_cast<test::FakeConnector&>(c.pairedTrackpadConnector());
    c.toggleEnabled();
    auto guide = makeGuide();
    ASSERT_EQ(guide->card(), Card::waitingForTrackpad);
    // None seen at all: a built-in touchpad needs no pairing.
    EXPECT_EQ(
        guide->notice()->message(),
        QStringLiteral("还没有找到触控板。笔记本的内置触控板无需配对；蓝牙触控板请先在系统的蓝牙设置中配对并连接。"));

    // A paired one that is not connected, noticed on the next look.
    connector.disconnectedTrackpad = QStringLiteral("Magic Trackpad");
    c.toggleEnabled();
    c.toggleEnabled();
    test::UiHarness::flushDeletes();
    ASSERT_EQ(guide->card(), Card::waitingForTrackpad);
    EXPECT_EQ(guide->notice()->message(),
              QStringLiteral("已配对的蓝牙触控板“Magic Trackpad”尚未连接，可直接尝试连接。"));
    test::saveForReview(test::pictureOf(*guide), QStringLiteral("setup-card-waiting-paired"));
}

TEST_F(SetupGuideTest, AsksForInputAccessOnlyWhenAnEnabledRuleABindingOrThePointerLockNeedsIt) {
    switchOnListening();
    auto guide = makeGuide();
    EXPECT_FALSE(guide->permissionGranted());
    EXPECT_EQ(guide->card(), std::nullopt);

    settings.setRules({rule(A::toggleKeepAwake), rule(A::copy)});
    EXPECT_EQ(guide->card(), Card::accessibility);
    test::UiHarness::flushDeletes();
    // No pane to open on Linux: no button, and the card lists the grants
    // with the command of each one that is missing.
    EXPECT_EQ(guide->notice()->button(), nullptr);
    EXPECT_EQ(guide->notice()->title(), QStringLiteral("部分动作需要输入设备权限"));
    EXPECT_TRUE(guide->notice()->message().contains(QStringLiteral("udev")));
    for (const char* grant : {"touchpad", "keyboards", "virtualInput"}) {
        SCOPED_TRACE(grant);
        const QString name = QString::fromLatin1(grant);
        auto* status = guide->findChild<kit::SymbolLabel*>(QStringLiteral("inputGrantStatus:") + name);
        ASSERT_NE(status, nullptr);
        EXPECT_TRUE(status->text().endsWith(QStringLiteral("：未授权")));
        auto* command = guide->findChild<kit::ShellCommandView*>(QStringLiteral("inputGrantCommand:") + name);
        ASSERT_NE(command, nullptr);
        EXPECT_TRUE(command->isVisibleTo(guide.get()));
    }
    fit(*guide);
    test::saveForReview(test::pictureOf(*guide), QStringLiteral("setup-card-access"));

    settings.setRules({rule(A::toggleKeepAwake), rule(A::copy, false)});
    EXPECT_EQ(guide->card(), std::nullopt);

    auto bindings = settings.bindings();
    bindings.front().action = A::nextTab;
    settings.setBindings(bindings);
    EXPECT_EQ(guide->card(), Card::accessibility);
    bindings.front().action = A::brightnessUp;
    settings.setBindings(bindings);
    EXPECT_EQ(guide->card(), std::nullopt);

    settings.setRules({});
    settings.setLocksPointerDuringEdgeAdjustments(true);
    EXPECT_EQ(guide->card(), Card::accessibility);
}

TEST_F(SetupGuideTest, RechecksTheTrustWhenTheWindowBecomesActiveAgain) {
    switchOnListening();
    settings.setRules({rule(A::copy)});
    auto guide = makeGuide();
    EXPECT_EQ(guide->card(), Card::accessibility);
    EXPECT_FALSE(c.typingMonitor().hasGlobalMonitor());

    // One grant at a time: the card says so when the window comes back.
    ui.h.accessibilityTrust.setInputGrant(InputGrant::touchpad, true);
    ui.scenePhase.setPhase(ScenePhase::Phase::inactive);
    ui.scenePhase.setPhase(ScenePhase::Phase::active);
    EXPECT_EQ(guide->card(), Card::accessibility);
    const auto statusOf = [&](const char* grant) {
        auto* status = guide->findChild<kit::SymbolLabel*>(QStringLiteral("inputGrantStatus:") + QLatin1String(grant));
        return status ? status->text() : QString();
    };
    EXPECT_EQ(statusOf("touchpad"), QStringLiteral("触控板：已授权"));
    EXPECT_EQ(statusOf("keyboards"), QStringLiteral("键盘：未授权"));
    EXPECT_FALSE(guide->findChild<kit::ShellCommandView*>(QStringLiteral("inputGrantCommand:touchpad"))
                     ->isVisibleTo(guide.get()));

    // Granted while the window stays in front: the card stays.
    ui.h.accessibilityTrust.setTrusted(true);
    ui.scenePhase.setPhase(ScenePhase::Phase::inactive);
    EXPECT_EQ(guide->card(), Card::accessibility);

    ui.scenePhase.setPhase(ScenePhase::Phase::active);
    EXPECT_EQ(guide->card(), std::nullopt);
    EXPECT_TRUE(c.typingMonitor().hasGlobalMonitor());
}

}  // namespace
}  // namespace glidra
