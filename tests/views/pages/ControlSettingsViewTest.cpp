#include "support/QtPrinters.h"
#include "support/UiHarness.h"
#include "support/UiReview.h"
#include "trackpad/TypingActivityMonitor.h"
#include "views/kit/CaptionLine.h"
#include "views/kit/SegmentedControl.h"
#include "views/kit/ShellCommandView.h"
#include "views/kit/Switch.h"
#include "views/kit/SwitchRow.h"
#include "views/kit/SymbolLabel.h"
#include "views/pages/ControlSettingsView.h"
#include "views/pages/ForcePressSettingsView.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextEdit>

#include <functional>
#include <memory>

namespace glidra {
namespace {

void clickSegment(kit::SegmentedControl* picker, int index) {
    QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(index).center());
}

struct GeneralPage {
    test::UiHarness ui;
    std::unique_ptr<ControlSettingsView> page;

    void open() {
        page = std::make_unique<ControlSettingsView>(ui.context);
        page->show();
        fit();
    }
    // The page at its full height, as in the window's scroll area.
    void fit() {
        // Widgets added to a shown page appear on the next turn of the loop.
        QCoreApplication::sendPostedEvents();
        QLayout* column = page->layout();
        column->activate();
        page->resize(640, column->hasHeightForWidth() ? column->totalHeightForWidth(640) : page->sizeHint().height());
    }
    void picture(const QString& name) {
        fit();
        test::saveForReview(test::pictureOf(*page), name);
    }

    template <typename T>
    T* find(const QString& name) const {
        auto* found = page->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QStringList column() const {
        QStringList names;
        for (int i = 0; i < page->layout()->count(); ++i) {
            if (auto* widget = page->layout()->itemAt(i)->widget()) names << widget->objectName();
        }
        return names;
    }
    bool shown(const QString& name) const { return find<QWidget>(name)->isVisibleTo(page.get()); }
    QString text(const QString& name) const {
        if (auto* symbol = page->findChild<kit::SymbolLabel*>(name)) return symbol->text();
        return find<QLabel>(name)->text();
    }
    int hudCalls(const QString& call) const { return ui.h.log.count(call); }
};

const QStringList withoutGuide{
    QStringLiteral("configurationTransfer"), QStringLiteral("trackpadGroup"),
    QStringLiteral("disabledApplications"),  QStringLiteral("hintsGroup"),
    QStringLiteral("launchGroup"),           QStringLiteral("permissionGroup"),
    QStringLiteral("desktopCompanion"),      QStringLiteral("updateSettings"),
};

TEST(ControlSettingsViewTest, GroupsStandInOrderAndTheVideoGuideFollowsScrubbingGestures) {
    GeneralPage general;
    general.open();
    EXPECT_EQ(general.column(), withoutGuide);
    general.picture(QStringLiteral("general-page"));

    QStringList withGuide = withoutGuide;
    withGuide.insert(7, QStringLiteral("browserVideoHelp"));
    ControlSettings& settings = general.ui.h.settings;

    // A disabled rule counts as well.
    GestureRule rule;
    rule.isEnabled = false;
    rule.action = GestureAction::scrubVideo;
    settings.setRules({rule});
    EXPECT_EQ(general.column(), withGuide);
    general.picture(QStringLiteral("general-page-video-guide"));
    settings.setRules({});
    test::UiHarness::flushDeletes();
    EXPECT_EQ(general.column(), withoutGuide);

    // So does an edge binding, whatever its edge's mode.
    auto bindings = settings.bindings();
    ASSERT_FALSE(bindings.empty());
    bindings.back().action = GestureAction::scrubVideo;
    settings.setBindings(bindings);
    EXPECT_EQ(general.column(), withGuide);
    EXPECT_TRUE(ControlSettingsView::usesVideoScrubbing(settings));
}

TEST(ControlSettingsViewTest, SaysWhetherTheDesktopsAddOnAnswersAndHowToSwitchItOn) {
    using Companion = DesktopIntegration::Companion;
    GeneralPage general;
    general.open();
    EXPECT_FALSE(general.shown(QStringLiteral("desktopCompanion"))) << "an X11 desktop needs none";

    general.ui.desktop.setDesktop(SystemGestureDesktop::gnome, Companion::gnomeShellExtension, false);
    ASSERT_TRUE(general.shown(QStringLiteral("desktopCompanion")));
    EXPECT_EQ(general.text(QStringLiteral("desktopCompanionStatus")),
              QStringLiteral("未检测到 Glidra 的 GNOME Shell 扩展"));
    EXPECT_EQ(general.text(QStringLiteral("desktopCompanionHelp")),
              QStringLiteral("没有它，原生 Wayland 窗口在前台时无法识别应用，也无法调整布局；GNOME 的三指滑动也无法由 "
                             "Glidra 关闭。安装 Glidra 后注销并重新登录，再在“扩展”应用中打开 Glidra，或运行 "
                             "gnome-extensions enable glidra@glidra.github.io。"));
    general.picture(QStringLiteral("general-page-gnome-extension-missing"));

    general.ui.desktop.setDesktop(SystemGestureDesktop::gnome, Companion::gnomeShellExtension, true);
    EXPECT_EQ(general.text(QStringLiteral("desktopCompanionStatus")),
              QStringLiteral("Glidra 的 GNOME Shell 扩展已启用"));
    EXPECT_EQ(general.text(QStringLiteral("desktopCompanionHelp")),
              QStringLiteral("原生 Wayland 窗口也能识别为前台应用，并可调整布局、关闭和隐藏。"));

    general.ui.desktop.setDesktop(SystemGestureDesktop::plasmaWayland, Companion::kwinScript, false);
    EXPECT_EQ(general.text(QStringLiteral("desktopCompanionStatus")), QStringLiteral("Glidra 的 KWin 脚本未运行"));
    EXPECT_EQ(
        general.text(QStringLiteral("desktopCompanionHelp")),
        QStringLiteral("没有它，原生 Wayland 窗口在前台时无法识别应用，也无法调整布局。Glidra 启动时会自动加载它；"
                       "若仍未运行，请在系统设置 → 窗口管理 → KWin 脚本中启用 Glidra。"));
    general.ui.desktop.setDesktop(SystemGestureDesktop::plasmaWayland, Companion::kwinScript, true);
    EXPECT_EQ(general.text(QStringLiteral("desktopCompanionStatus")), QStringLiteral("Glidra 的 KWin 脚本正在运行"));
}

// Each setting the page observes resets the controller's gesture state
// once more than the controller does of its own accord; every reset starts a
// new action epoch.
struct Observed {
    const char* name;
    std::function<void(ControlSettings&)> change;
};

TEST(ControlSettingsViewTest, EachObservedChangeResetsTheControllerAndFirstDisplayNothing) {
    const Observed rows[] = {
        {"recognition level",
         [](ControlSettings& settings) { settings.setRecognitionLevel(GestureRecognitionLevel::deliberate); }},
        {"sensitivity", [](ControlSettings& settings) { settings.setSensitivity(2.2); }},
        {"typing protection",
         [](ControlSettings& settings) { settings.setTypingProtectionEnabled(!settings.typingProtectionEnabled()); }},
        {"disabled applications",
         [](ControlSettings& settings) {
             settings.setDisabledApplications(
                 {DisabledApplication{QStringLiteral("code.desktop"), QStringLiteral("Code")}});
         }},
        {"edge width", [](ControlSettings& settings) { settings.setEdgeWidth(0.12); }},
    };
    for (const Observed& row : rows) {
        SCOPED_TRACE(row.name);
        quint64 unobserved = 0;
        {
            test::UiHarness bare;
            const quint64 before = bare.controller.actionEpoch();
            row.change(bare.h.settings);
            unobserved = bare.controller.actionEpoch() - before;
        }
        GeneralPage general;
        const quint64 before = general.ui.controller.actionEpoch();
        general.open();
        EXPECT_EQ(general.ui.controller.actionEpoch(), before);
        EXPECT_TRUE(general.ui.h.log.calls.filter(QStringLiteral("hud.")).isEmpty());
        row.change(general.ui.h.settings);
        EXPECT_EQ(general.ui.controller.actionEpoch() - before, unobserved + 1);

        // Pages visited and closed leave no reaction behind.
        GeneralPage visited;
        for (int visit = 0; visit < 3; ++visit) {
            visited.open();
            visited.page.reset();
        }
        test::UiHarness::flushDeletes();
        const quint64 afterVisits = visited.ui.controller.actionEpoch();
        row.change(visited.ui.h.settings);
        EXPECT_EQ(visited.ui.controller.actionEpoch() - afterVisits, unobserved);
    }
}

// Makes `locale` the user's for one test, whatever the session's is.
class UserLocale {
public:
    explicit UserLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~UserLocale() { QLocale::setDefault(previous_); }
    UserLocale(const UserLocale&) = delete;
    UserLocale& operator=(const UserLocale&) = delete;

private:
    QLocale previous_;
};

TEST(ControlSettingsViewTest, ControlsStoreWhatTheUserChoosesAndShowStoredValues) {
    UserLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    GeneralPage general;
    ControlSettings& settings = general.ui.h.settings;
    settings.setSensitivity(1.55);
    general.open();

    // Shown rounded, stored as it was.
    EXPECT_EQ(general.text(QStringLiteral("sensitivityValue")), QStringLiteral("1.6"));
    EXPECT_EQ(general.find<QSlider>(QStringLiteral("sensitivity"))->value(), 16);
    EXPECT_EQ(settings.sensitivity(), 1.55);

    // The slider stores the grid's decimals.
    general.find<QSlider>(QStringLiteral("sensitivity"))->setValue(7);
    EXPECT_EQ(settings.sensitivity(), 0.7);
    EXPECT_EQ(general.text(QStringLiteral("sensitivityValue")), QStringLiteral("0.7"));

    // The user's locale, also when it changes while shown.
    {
        UserLocale german(QLocale(QLocale::German, QLocale::Germany));
        QEvent change(QEvent::LocaleChange);
        QCoreApplication::sendEvent(general.page.get(), &change);
        EXPECT_EQ(general.text(QStringLiteral("sensitivityValue")), QStringLiteral("0,7"));
    }

    clickSegment(general.find<kit::SegmentedControl>(QStringLiteral("recognitionLevel")), 0);
    EXPECT_EQ(settings.recognitionLevel(), GestureRecognitionLevel::relaxed);
    settings.setRecognitionLevel(GestureRecognitionLevel::deliberate);
    EXPECT_EQ(general.find<kit::SegmentedControl>(QStringLiteral("recognitionLevel"))->currentIndex(), 2);

    // The typing switch, with the typing history forgotten.
    general.ui.controller.typingMonitor().blockDevice(3);
    const bool protecting = settings.typingProtectionEnabled();
    QTest::mouseClick(general.find<kit::SwitchRow>(QStringLiteral("typingProtectionEnabled"))->switchControl(),
                      Qt::LeftButton);
    EXPECT_EQ(settings.typingProtectionEnabled(), !protecting);
    EXPECT_EQ(general.ui.controller.typingMonitor().policy(), TypingProtectionPolicy{});

    ControlSettings reloaded(general.ui.h.defaults);
    EXPECT_EQ(reloaded.sensitivity(), 0.7);
    EXPECT_EQ(reloaded.recognitionLevel(), GestureRecognitionLevel::deliberate);
    EXPECT_EQ(reloaded.typingProtectionEnabled(), !protecting);
}

// An import writes the sensitivity while the page shows: the slider follows
// without writing its grid value back.
TEST(ControlSettingsViewTest, ASensitivityWrittenElsewhereWhileShownStaysAsWritten) {
    UserLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    GeneralPage general;
    general.open();
    ControlSettings& settings = general.ui.h.settings;
    settings.setSensitivity(1.55);
    EXPECT_EQ(general.find<QSlider>(QStringLiteral("sensitivity"))->value(), 16);
    EXPECT_EQ(general.text(QStringLiteral("sensitivityValue")), QStringLiteral("1.6"));
    EXPECT_EQ(settings.sensitivity(), 1.55);
    EXPECT_EQ(ControlSettings(general.ui.h.defaults).sensitivity(), 1.55);
}

TEST(ControlSettingsViewTest, HintsOffHideThePickerAndTheHUDAndANewPositionShowsTheSample) {
    GeneralPage general;
    ControlSettings& settings = general.ui.h.settings;
    settings.setShowOperationHints(true);
    settings.setOperationHintPosition(HUDPosition::bottom);
    general.open();
    general.ui.controller.hud();  // a HUD that records
    EXPECT_TRUE(general.shown(QStringLiteral("operationHintPosition")));

    clickSegment(general.find<kit::SegmentedControl>(QStringLiteral("operationHintPosition")), 3);
    EXPECT_EQ(settings.operationHintPosition(), HUDPosition::topRight);
    ASSERT_FALSE(general.ui.h.hud->notices.empty());
    EXPECT_EQ(general.ui.h.hud->notices.back().text, QStringLiteral("提示位置"));
    EXPECT_EQ(general.ui.h.hud->notices.back().symbol, QStringLiteral("rectangle.inset.filled"));

    const int hidesBefore = general.hudCalls(QStringLiteral("hud.hide"));
    QTest::mouseClick(general.find<kit::SwitchRow>(QStringLiteral("showOperationHints"))->switchControl(),
                      Qt::LeftButton);
    EXPECT_FALSE(settings.showOperationHints());
    EXPECT_EQ(general.hudCalls(QStringLiteral("hud.hide")), hidesBefore + 1);
    EXPECT_FALSE(general.shown(QStringLiteral("operationHintPosition")));

    // Back on: the picker returns with the position chosen before, and
    // nothing further reaches the HUD.
    const QStringList calls = general.ui.h.log.calls;
    QTest::mouseClick(general.find<kit::SwitchRow>(QStringLiteral("showOperationHints"))->switchControl(),
                      Qt::LeftButton);
    EXPECT_TRUE(general.shown(QStringLiteral("operationHintPosition")));
    EXPECT_EQ(general.find<kit::SegmentedControl>(QStringLiteral("operationHintPosition"))->currentIndex(), 3);
    EXPECT_EQ(general.ui.h.log.calls, calls);
}

TEST(ControlSettingsViewTest, TheConnectionRowFollowsTheController) {
    GeneralPage general;
    general.open();
    // Paused: the status line, and no reconnecting.
    EXPECT_EQ(general.text(QStringLiteral("connectionStatus")), general.ui.controller.menuStatusText());
    EXPECT_FALSE(general.find<QPushButton>(QStringLiteral("reconnect"))->isEnabled());

    general.ui.switchOnWithTrackpad();
    ASSERT_TRUE(general.ui.controller.isListening());
    EXPECT_EQ(general.text(QStringLiteral("connectionStatus")), QStringLiteral("触控板已连接"));
    ASSERT_TRUE(general.find<QPushButton>(QStringLiteral("reconnect"))->isEnabled());
    QTest::mouseClick(general.find<QPushButton>(QStringLiteral("reconnect")), Qt::LeftButton);
    EXPECT_EQ(general.ui.h.log.count(QStringLiteral("recovery.manualReconnect")), 1);
}

TEST(ControlSettingsViewTest, TheLaunchRowShowsEachLoginItemState) {
    using Status = LoginItems::Status;
    struct Row {
        Status status;
        QString button;
        QString message;
    };
    const Row rows[] = {
        {Status::notRegistered, QStringLiteral("开启开机启动"), QStringLiteral("开机启动未开启。")},
        {Status::enabled, QStringLiteral("关闭开机启动"), QStringLiteral("已设置为登录时启动。")},
        {Status::requiresApproval, QStringLiteral("关闭开机启动"),
         QStringLiteral("请在桌面的自启动设置中重新允许 Glidra，或先关闭再开启开机启动。")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.status));
        GeneralPage general;
        general.ui.loginItems.setStatus(row.status);
        general.open();
        EXPECT_EQ(general.find<QPushButton>(QStringLiteral("launchAtLogin"))->text(), row.button);
        EXPECT_EQ(general.text(QStringLiteral("loginItemMessage")), row.message);
    }

    // A toggle that fails shows the system's reason under the row.
    GeneralPage general;
    general.open();
    general.ui.loginItems.setRegisterFailure(QStringLiteral("Operation not permitted"));
    QTest::mouseClick(general.find<QPushButton>(QStringLiteral("launchAtLogin")), Qt::LeftButton);
    EXPECT_EQ(general.text(QStringLiteral("loginItemMessage")), QStringLiteral("设置失败：Operation not permitted"));
    EXPECT_EQ(general.find<QPushButton>(QStringLiteral("launchAtLogin"))->text(), QStringLiteral("开启开机启动"));

    // The user changed it outside; the window's next activation shows it.
    general.ui.loginItems.setRegisterFailure(std::nullopt);
    general.ui.loginItems.setStatus(Status::enabled);
    general.ui.scenePhase.setPhase(ScenePhase::Phase::inactive);
    general.ui.scenePhase.setPhase(ScenePhase::Phase::active);
    EXPECT_EQ(general.find<QPushButton>(QStringLiteral("launchAtLogin"))->text(), QStringLiteral("关闭开机启动"));
}

TEST(ControlSettingsViewTest, PermissionLinesFollowTheTrustAndAreReadAgainOnActivation) {
    GeneralPage general;
    general.ui.h.settings.setTypingProtectionEnabled(true);
    general.ui.controller.setEnabled(true);
    general.open();
    EXPECT_EQ(general.text(QStringLiteral("permissionStatus")), QStringLiteral("输入设备未授权"));
    EXPECT_TRUE(general.shown(QStringLiteral("permissionMissingHelp")));
    EXPECT_TRUE(general.shown(QStringLiteral("typingPermissionWarning")));
    // No settings pane to open on this desktop.
    EXPECT_EQ(general.page->findChild<QPushButton*>(QStringLiteral("openPermissionSettings")), nullptr);

    // Granted while away: the window's activation reads it again, without
    // "重新检查", and the cross-application typing monitor comes in.
    general.ui.h.accessibilityTrust.setTrusted(true);
    general.ui.scenePhase.setPhase(ScenePhase::Phase::background);
    EXPECT_TRUE(general.shown(QStringLiteral("typingPermissionWarning")));
    general.ui.scenePhase.setPhase(ScenePhase::Phase::active);
    EXPECT_EQ(general.text(QStringLiteral("permissionStatus")), QStringLiteral("输入设备已授权"));
    EXPECT_FALSE(general.shown(QStringLiteral("permissionMissingHelp")));
    EXPECT_FALSE(general.shown(QStringLiteral("typingPermissionWarning")));
    EXPECT_TRUE(general.ui.controller.typingMonitor().hasGlobalMonitor());

    // Taken away: "重新检查" sees it.
    general.ui.h.accessibilityTrust.setTrusted(false);
    QTest::mouseClick(general.find<QPushButton>(QStringLiteral("recheckPermission")), Qt::LeftButton);
    EXPECT_EQ(general.text(QStringLiteral("permissionStatus")), QStringLiteral("输入设备未授权"));
    EXPECT_TRUE(general.shown(QStringLiteral("typingPermissionWarning")));
}

// The input service's state stands in the group, read again by "重新检查";
// what the udev rules are for follows it.
TEST(ControlSettingsViewTest, TheInputServiceLineSaysItsStateAndTheRulesAreTheFallback) {
    GeneralPage general;
    general.open();
    struct Case {
        InputService service;
        const char* status;
        const char* rules;
    };
    const Case cases[] = {
        {InputService::answering,
         "输入服务 glidra-inputd 已安装并在响应：它只为 Glidra 读取触控板、键盘和鼠标，并创建虚拟输入设备。",
         "有输入服务时无需这些 udev 规则。若键盘仍显示未授权，以 root 身份运行 systemctl restart "
         "glidra-inputd.socket，然后重新启动 Glidra。"},
        {InputService::notAnswering,
         "输入服务 glidra-inputd 已安装，但没有响应或拒绝了 Glidra：以 root 身份运行 systemctl restart "
         "glidra-inputd.socket，然后重新检查。",
         "没有输入服务时，每项权限由一条 udev 规则授予。这是备用方式：每条规则会把设备交给你运行的所有程序。"
         "只需安装要用的几项：在终端中运行对应的命令，然后返回这里。"},
        {InputService::notInstalled,
         "未安装输入服务 glidra-inputd（它只把输入设备交给 Glidra）：在 Glidra 的源代码文件夹中以 root "
         "身份运行 su -c scripts/run 安装它。",
         "没有输入服务时，每项权限由一条 udev 规则授予。这是备用方式：每条规则会把设备交给你运行的所有程序。"
         "只需安装要用的几项：在终端中运行对应的命令，然后返回这里。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        general.ui.h.accessibilityTrust.setInputService(c.service);
        QTest::mouseClick(general.find<QPushButton>(QStringLiteral("recheckPermission")), Qt::LeftButton);
        EXPECT_EQ(general.text(QStringLiteral("inputServiceStatus")), QString::fromUtf8(c.status));
        EXPECT_EQ(general.text(QStringLiteral("permissionInstruction")), QString::fromUtf8(c.rules));
        // What a rule would open to every program is said only where rules
        // are what grants access.
        EXPECT_EQ(general.text(QStringLiteral("inputGrantFeatures:keyboards")),
                  c.service == InputService::answering
                      ? QStringLiteral("用于手势要求的修饰键、打字防误触、按住的按键和键盘锁定。")
                      : QStringLiteral("用于手势要求的修饰键、打字防误触、按住的按键和键盘锁定。"
                                       "授权后，你运行的任何程序都能读取你输入的每个按键。"));
        if (c.service == InputService::answering) general.picture(QStringLiteral("general-input-service-answering"));
    }
}

// Reading the trust again while control is paused shows it, but the
// cross-application typing monitor waits for control to be switched on.
TEST(ControlSettingsViewTest, ReadingTheTrustWhilePausedInstallsNoKeyMonitor) {
    GeneralPage general;
    general.ui.h.settings.setTypingProtectionEnabled(true);
    general.open();
    ASSERT_FALSE(general.ui.controller.isEnabled());
    general.ui.h.accessibilityTrust.setTrusted(true);
    QTest::mouseClick(general.find<QPushButton>(QStringLiteral("recheckPermission")), Qt::LeftButton);
    EXPECT_EQ(general.text(QStringLiteral("permissionStatus")), QStringLiteral("输入设备已授权"));
    general.ui.scenePhase.setPhase(ScenePhase::Phase::background);
    general.ui.scenePhase.setPhase(ScenePhase::Phase::active);
    EXPECT_FALSE(general.ui.controller.typingMonitor().hasGlobalMonitor());

    general.ui.controller.setEnabled(true);
    general.ui.scenePhase.setPhase(ScenePhase::Phase::background);
    general.ui.scenePhase.setPhase(ScenePhase::Phase::active);
    EXPECT_TRUE(general.ui.controller.typingMonitor().hasGlobalMonitor());
}

// Each grant says whether it is there and what it adds; a missing one gives
// the command that installs its rule.
TEST(ControlSettingsViewTest, TheInputGrantsShowEachOnItsOwnWithTheCommandsOfTheMissingOnes) {
    GeneralPage general;
    general.ui.h.settings.setTypingProtectionEnabled(true);
    general.ui.h.accessibilityTrust.setTrusted(true);
    general.ui.h.accessibilityTrust.setInputGrant(InputGrant::keyboards, false);
    general.open();
    EXPECT_EQ(general.text(QStringLiteral("inputGrantStatus:touchpad")), QStringLiteral("触控板：已授权"));
    EXPECT_EQ(general.text(QStringLiteral("inputGrantStatus:keyboards")), QStringLiteral("键盘：未授权"));
    EXPECT_EQ(general.text(QStringLiteral("inputGrantStatus:virtualInput")),
              QStringLiteral("虚拟输入设备（/dev/uinput）：已授权"));
    EXPECT_FALSE(general.shown(QStringLiteral("inputGrantCommand:touchpad")));
    EXPECT_FALSE(general.shown(QStringLiteral("inputGrantCommand:virtualInput")));
    ASSERT_TRUE(general.shown(QStringLiteral("inputGrantCommand:keyboards")));
    auto* shown = general.find<kit::ShellCommandView>(QStringLiteral("inputGrantCommand:keyboards"));
    const QString command = shown->command();
    EXPECT_TRUE(command.startsWith(QStringLiteral("su -c 'install -m 0644 -t /etc/udev/rules.d ")));
    EXPECT_TRUE(command.contains(QStringLiteral("/70-glidra-keyboards.rules")));
    EXPECT_TRUE(shown->textView()->textInteractionFlags() & Qt::TextSelectableByMouse);
    // Touchpad and /dev/uinput are what the actions need: the page counts
    // the access as given, but typing in other applications is seen only
    // through the keyboards.
    EXPECT_EQ(general.text(QStringLiteral("permissionStatus")), QStringLiteral("输入设备已授权"));
    EXPECT_TRUE(general.shown(QStringLiteral("typingPermissionWarning")));
    general.picture(QStringLiteral("general-input-grants"));

    // The keyboards' rule installed and "重新检查" pressed.
    general.ui.h.accessibilityTrust.setInputGrant(InputGrant::keyboards, true);
    QTest::mouseClick(general.find<QPushButton>(QStringLiteral("recheckPermission")), Qt::LeftButton);
    EXPECT_EQ(general.text(QStringLiteral("inputGrantStatus:keyboards")), QStringLiteral("键盘：已授权"));
    EXPECT_FALSE(general.shown(QStringLiteral("inputGrantCommand:keyboards")));
    EXPECT_FALSE(general.shown(QStringLiteral("typingPermissionWarning")));

    // Taken away again while the window was elsewhere.
    general.ui.h.accessibilityTrust.setInputGrant(InputGrant::virtualInput, false);
    general.ui.scenePhase.setPhase(ScenePhase::Phase::background);
    general.ui.scenePhase.setPhase(ScenePhase::Phase::active);
    EXPECT_EQ(general.text(QStringLiteral("inputGrantStatus:virtualInput")),
              QStringLiteral("虚拟输入设备（/dev/uinput）：未授权"));
    EXPECT_TRUE(general.shown(QStringLiteral("inputGrantCommand:virtualInput")));
}

TEST(ForcePressSettingsViewTest, TheBarFollowsTheControllerAndTheLevelPersists) {
    test::UiHarness ui;
    ForcePressSettingsView panel(ui.h.settings, ui.controller);
    panel.resize(420, 160);
    panel.show();
    auto* bar = panel.findChild<QProgressBar*>(QStringLiteral("pressureProgress"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->accessibleName(), QStringLiteral("重压触发进度"));
    EXPECT_EQ(bar->value(), 0);
    // Nothing on this machine senses force yet, and the panel says so.
    EXPECT_TRUE(panel.findChild<QWidget*>(QStringLiteral("noForceSensing"))->isVisibleTo(&panel));

    ui.controller.setPressureProgress(0.6364);
    EXPECT_EQ(bar->value(), 636);
    ui.controller.setPressureProgress(1.0);
    EXPECT_EQ(bar->value(), ForcePressSettingsView::progressScale);
    ui.controller.resetGestureState();
    EXPECT_EQ(bar->value(), 0);

    auto* level = panel.findChild<kit::SegmentedControl*>(QStringLiteral("forcePressLevel"));
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->options(), (QStringList{QStringLiteral("较轻"), QStringLiteral("标准"), QStringLiteral("较重")}));
    EXPECT_EQ(level->currentIndex(), 1);
    clickSegment(level, 2);
    EXPECT_EQ(ui.h.settings.forcePressLevel(), ForcePressLevel::firm);
    EXPECT_EQ(ControlSettings(ui.h.defaults).forcePressLevel(), ForcePressLevel::firm);
    // A change made elsewhere shows, silently.
    ui.h.settings.setForcePressLevel(ForcePressLevel::light);
    EXPECT_EQ(level->currentIndex(), 0);
    test::saveForReview(test::pictureOf(panel), QStringLiteral("force-press-settings"));
}

}  // namespace
}  // namespace glidra
