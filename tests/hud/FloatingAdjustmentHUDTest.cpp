#include "hud/AdjustmentHUDView.h"
#include "hud/DesktopHUDScreens.h"
#include "hud/FloatingAdjustmentHUD.h"
#include "hud/HUDPanel.h"
#include "hud/MessageHUDView.h"
#include "hud/VideoProgressHUDView.h"
#include "support/QtPrinters.h"

#include "hud/HUDTestSupport.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>

namespace glidra::test {
namespace {

const HUDNotice copied{QStringLiteral("已复制"), QStringLiteral("doc.on.clipboard"), HUDNotice::Kind::success};
const HUDNotice hint{QStringLiteral("请先在 Finder 中选中文件"), QStringLiteral("eye"), HUDNotice::Kind::information};
const HUDNotice failed{QStringLiteral("无法打开网页"), QStringLiteral("globe"), HUDNotice::Kind::error};

TEST_F(HUDTest, NoticePanelWidthFollowsTheCharacterCount) {
    struct Case {
        const char* text;
        int width;
    };
    const Case cases[] = {
        {"1234567", 180},
        {"12345678", 280},
        {"窗口截图已复制", 180},    // seven Chinese characters
        {"无法切换桌面图标", 280},  // eight
        {"\U0001F44D\U0001F3FD\U0001F44D\U0001F3FD\U0001F44D\U0001F3FD\U0001F44D\U0001F3FD\U0001F44D\U0001F3FD"
         "\U0001F44D\U0001F3FD\U0001F44D\U0001F3FD",
         180},                                                       // seven thumbs with a skin tone: 28 UTF-16 units
        {"e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301", 180},  // combining accents
    };
    double t = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        at(t += 5);
        hud.show({QString::fromUtf8(c.text), QStringLiteral("info.circle"), HUDNotice::Kind::success});
        ASSERT_TRUE(visible());
        EXPECT_EQ(panel().size(), QSize(c.width, 72));
        auto* view = qobject_cast<MessageHUDView*>(content());
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->notice().text, QString::fromUtf8(c.text));
        // The capsule fills the panel inside its 8-point padding, 48 high.
        EXPECT_EQ(view->geometry(), QRect(8, 12, c.width - 16, 48));
    }
}

TEST_F(HUDTest, NoticesAndLevelsStayTheirTimeAndANewPresentationRestartsIt) {
    struct Case {
        const char* what;
        std::function<void(FloatingAdjustmentHUD&)> present;
        double stays;
    };
    const Case cases[] = {
        {"error", [](auto& h) { h.show(failed); }, 2.0},
        {"information", [](auto& h) { h.show(hint); }, 0.85},
        {"success", [](auto& h) { h.show(copied); }, 0.85},
        {"level", [](auto& h) { h.showAdjustment(EdgeGesture::Side::volume, 0.4f); }, 0.85},
        {"video",
         [](auto& h) {
             h.showVideoProgress({30, 90});
         },
         0.85},
    };
    double t = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        at(t += 10);
        c.present(hud);
        at(t + c.stays - 0.001);
        EXPECT_TRUE(visible());
        at(t + c.stays);
        EXPECT_FALSE(visible());
    }

    // A second presentation half a second in keeps the panel up for its own
    // full time.
    at(t += 10);
    hud.show(failed);
    at(t + 0.5);
    hud.show(copied);
    at(t + 1.349);
    EXPECT_TRUE(visible());
    at(t + 1.35);
    EXPECT_FALSE(visible());
    EXPECT_EQ(time.scheduler.pendingCount(), 0u);
}

TEST_F(HUDTest, AnUnchangedLevelWithinTheIntervalChangesNothing) {
    at(1.0);
    hud.showAdjustment(EdgeGesture::Side::volume, 0.5f);
    QWidget* drawn = content();
    ASSERT_NE(qobject_cast<AdjustmentHUDView*>(drawn), nullptr);

    // 0.501 is still 50 %: within 0.12 s nothing happens, not even a longer stay.
    at(1.1);
    hud.showAdjustment(EdgeGesture::Side::volume, 0.501f);
    EXPECT_EQ(content(), drawn);
    EXPECT_FLOAT_EQ(qobject_cast<AdjustmentHUDView*>(content())->value(), 0.5f);
    at(1.85);
    EXPECT_FALSE(visible());

    // After 0.12 s the same level keeps the panel up without a new view.
    at(3.0);
    hud.showAdjustment(EdgeGesture::Side::volume, 0.5f);
    drawn = content();
    at(3.12);
    hud.showAdjustment(EdgeGesture::Side::volume, 0.5f);
    EXPECT_EQ(content(), drawn);
    at(3.969);
    EXPECT_TRUE(visible());
    at(3.97);
    EXPECT_FALSE(visible());

    // Once the panel is gone the same level shows again at once, even within
    // 0.12 s of the last one.
    at(4.0);
    hud.showAdjustment(EdgeGesture::Side::volume, 0.5f);
    EXPECT_TRUE(visible());
    EXPECT_EQ(content(), drawn);
}

TEST_F(HUDTest, ADifferentSideOrPercentRedraws) {
    struct Step {
        EdgeGesture::Side side;
        float value;
        const char* symbol;
        const char* text;
    };
    const Step steps[] = {
        {EdgeGesture::Side::brightness, 0.5f, "sun.max.fill", "50%"},
        {EdgeGesture::Side::volume, 0.5f, "speaker.wave.2.fill", "50%"},
        {EdgeGesture::Side::volume, 0.51f, "speaker.wave.2.fill", "51%"},
        {EdgeGesture::Side::volume, 0.0f, "speaker.slash.fill", "0%"},
    };
    QWidget* previous = nullptr;
    double t = 1;
    for (const auto& step : steps) {
        at(t += 0.01);
        hud.showAdjustment(step.side, step.value);
        auto* view = qobject_cast<AdjustmentHUDView*>(content());
        ASSERT_NE(view, nullptr);
        EXPECT_NE(view, previous);
        EXPECT_EQ(view->side(), step.side);
        EXPECT_EQ(view->symbolName(), QString::fromLatin1(step.symbol));
        EXPECT_EQ(view->percentText(), QString::fromLatin1(step.text));
        previous = view;
    }
}

TEST_F(HUDTest, WithHintsOffEveryCallHidesThePanel) {
    const std::function<void(FloatingAdjustmentHUD&)> calls[] = {
        [](auto& h) { h.show(copied); },
        [](auto& h) { h.showAdjustment(EdgeGesture::Side::brightness, 0.3f); },
        [](auto& h) {
            h.showVideoProgress({10, 20});
        },
    };
    double t = 0;
    for (const auto& call : calls) {
        at(t += 5);
        showsHints = true;
        hud.show(hint);
        ASSERT_TRUE(visible());
        showsHints = false;
        call(hud);
        EXPECT_FALSE(visible());
        EXPECT_EQ(time.scheduler.pendingCount(), 0u);
        // Hiding forgot the notice: the same one passes again at once.
        showsHints = true;
        hud.show(hint);
        EXPECT_TRUE(visible());
    }
}

TEST_F(HUDTest, ALevelOrTheVideoPositionLetsTheSameNoticeThroughAgain) {
    at(1.0);
    hud.show(hint);
    QWidget* first = content();
    at(1.5);
    hud.show(hint);  // a repeat within 2 s
    EXPECT_EQ(content(), first);

    const std::function<void(FloatingAdjustmentHUD&)> resets[] = {
        [](auto& h) { h.showAdjustment(EdgeGesture::Side::volume, 0.2f); },
        [](auto& h) {
            h.showVideoProgress({5, 50});
        },
    };
    for (const auto& reset : resets) {
        at(time.clock.uptime() + 0.1);
        reset(hud);
        at(time.clock.uptime() + 0.1);
        hud.show(hint);
        auto* view = qobject_cast<MessageHUDView*>(content());
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->notice(), hint);
    }

    // The dismissal only hides: the gate still remembers the notice.
    at(time.clock.uptime() + 0.9);
    ASSERT_FALSE(visible());
    hud.show(hint);
    EXPECT_FALSE(visible());
}

TEST_F(HUDTest, PlacesThePanelOnTheScreenUnderThePointer) {
    // A level panel is 240 x 64. On the left screen the usable area starts
    // below a 32-pixel top panel; the right one ends above a 40-pixel bottom panel.
    struct Case {
        const char* what;
        QPoint pointer;
        HUDPosition position;
        QPoint topLeft;
    };
    const Case cases[] = {
        {"left top", {400, 300}, HUDPosition::top, {840, 32 + 60}},
        {"left middle", {400, 300}, HUDPosition::middle, {840, 32 + (1048 - 64) / 2}},
        {"left bottom", {400, 300}, HUDPosition::bottom, {840, 1080 - 60 - 64}},
        {"left top right", {400, 300}, HUDPosition::topRight, {1920 - 16 - 240, 32 + 16}},
        {"right top", {2500, 900}, HUDPosition::top, {1920 + 640 - 120, 60}},
        {"right bottom", {2500, 900}, HUDPosition::bottom, {1920 + 640 - 120, 984 - 60 - 64}},
        {"right top right", {3199, 1023}, HUDPosition::topRight, {3200 - 16 - 240, 16}},
        {"no screen under the pointer: the primary one", {-50, -50}, HUDPosition::bottom, {840, 956}},
    };
    double t = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        screens.at = c.pointer;
        position = c.position;
        at(t += 1);
        hud.showAdjustment(EdgeGesture::Side::brightness, float(t) / 100);
        EXPECT_EQ(panel().pos(), c.topLeft);
    }

    // Without any screen the panel shows where it last was.
    screens.all.clear();
    screens.primary.reset();
    hud.show(copied);
    EXPECT_TRUE(visible());
    EXPECT_EQ(panel().pos(), cases[std::size(cases) - 1].topLeft);
}

TEST_F(HUDTest, MenuBarIconPositionGoesBelowTheIconOnTheIconsScreen) {
    position = HUDPosition::menuBarIcon;
    screens.at = {400, 300};  // on the left screen
    struct Case {
        const char* what;
        std::optional<QRect> icon;
        QPoint topLeft;
    };
    const Case cases[] = {
        // The icon near the right edge of the right screen: centred under it,
        // 8 below, then pushed left to stay on the screen.
        {"icon on the other screen", QRect(3100, 4, 22, 22), {3200 - 240, 4 + 22 + 8}},
        {"icon in the middle of the left screen's panel", QRect(949, 5, 22, 22), {960 - 120, 5 + 22 + 8}},
        {"no icon: as top", std::nullopt, {840, 92}},
        {"empty icon: as top", QRect(100, 5, 0, 0), {840, 92}},
        {"icon on no screen: as top", QRect(-500, -500, 22, 22), {840, 92}},
    };
    double t = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        trayIcon = c.icon;
        at(t += 1);
        hud.showAdjustment(EdgeGesture::Side::volume, float(t) / 100);
        EXPECT_EQ(panel().pos(), c.topLeft);
    }
}

TEST_F(HUDTest, ThePanelIsAFloatingWindowThatNeverTakesFocus) {
    const Qt::WindowFlags flags = panel().windowFlags();
    EXPECT_EQ(panel().windowType(), Qt::ToolTip);  // no task-bar entry, no window-manager frame
    for (const Qt::WindowType flag : {Qt::FramelessWindowHint, Qt::WindowStaysOnTopHint, Qt::WindowDoesNotAcceptFocus,
                                      Qt::WindowTransparentForInput}) {
        EXPECT_TRUE(flags.testFlag(flag)) << flag;
    }
    EXPECT_TRUE(panel().testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(panel().testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(panel().testAttribute(Qt::WA_TranslucentBackground));

    QWidget window;
    window.show();
    QApplication::setActiveWindow(&window);
    SimTime::drain();
    ASSERT_EQ(QApplication::activeWindow(), &window);
    hud.show(copied);
    SimTime::drain();
    EXPECT_TRUE(visible());
    EXPECT_EQ(QApplication::activeWindow(), &window);
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
}

TEST(FloatingAdjustmentHUDFactoryTest, EachOwnerGetsItsOwnPanelAndAGoneHUDIgnoresItsDismissal) {
    SimTime time;
    FakeScreens screens;
    const AdjustmentHUDFactory factory = FloatingAdjustmentHUD::factory({time.clock, time.scheduler, screens, {}});
    const AdjustmentHUDSettings settings{[] { return true; }, [] { return HUDPosition::menuBarIcon; }};
    auto first = factory(settings);
    auto second = factory(settings);
    auto& a = static_cast<FloatingAdjustmentHUD&>(*first);
    auto& b = static_cast<FloatingAdjustmentHUD&>(*second);
    EXPECT_NE(&a.panel(), &b.panel());

    // No anchor provider: the menu-bar position falls back to the top.
    a.show(copied);
    EXPECT_EQ(a.panel().pos(), QPoint(960 - 90, 32 + 60));
    EXPECT_FALSE(b.panel().isVisible());

    first.reset();
    time.advanceBy(1.0);  // the dismissal of the destroyed HUD does not run
    EXPECT_EQ(time.scheduler.pendingCount(), 0u);
}

TEST(DesktopHUDScreensTest, DescribesQtsScreensAndPointer) {
    const DesktopHUDScreens desktop;
    const auto screens = desktop.screens();
    ASSERT_EQ(screens.size(), size_t(QGuiApplication::screens().size()));
    const QScreen* primary = QGuiApplication::primaryScreen();
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(desktop.primaryScreen(), (HUDScreen{primary->geometry(), primary->availableGeometry()}));
    QCursor::setPos(primary->geometry().center());
    EXPECT_EQ(desktop.pointer(), QCursor::pos());
}

}  // namespace
}  // namespace glidra::test
