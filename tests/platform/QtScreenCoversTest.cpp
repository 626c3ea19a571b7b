#include "executors/CleaningScreenCover.h"
#include "platform/linux/QtScreenCovers.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"

#include <gtest/gtest.h>

#include <qpa/qplatformnativeinterface.h>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

namespace glidra {
namespace {

using linux_platform::QtScreenCovers;

// Attaches screens to the offscreen platform as a monitor being plugged in
// would: the platform's own configuration call, which takes its native
// interface.
class OffscreenScreens {
public:
    OffscreenScreens() {
        native_ = QGuiApplication::platformNativeInterface();
        if (!native_ || QGuiApplication::platformName() != QLatin1String("offscreen")) return;
        configuration_ = reinterpret_cast<QJsonObject (*)(QPlatformNativeInterface*)>(
            native_->nativeResourceForIntegration("configuration"));
        setConfiguration_ = reinterpret_cast<void (*)(const QJsonObject&, QPlatformNativeInterface*)>(
            native_->nativeResourceForIntegration("setConfiguration"));
        if (configuration_) original_ = configuration_(native_);
    }
    ~OffscreenScreens() {
        if (setConfiguration_) setConfiguration_(original_, native_);
    }

    bool isAvailable() const { return configuration_ && setConfiguration_; }

    void set(const std::vector<QRect>& geometries) {
        QJsonArray screens;
        int number = 0;
        for (const QRect& rect : geometries) {
            screens.append(QJsonObject{{QStringLiteral("name"), QStringLiteral("screen%1").arg(++number)},
                                       {QStringLiteral("x"), rect.x()},
                                       {QStringLiteral("y"), rect.y()},
                                       {QStringLiteral("width"), rect.width()},
                                       {QStringLiteral("height"), rect.height()},
                                       {QStringLiteral("logicalDpi"), 96},
                                       {QStringLiteral("logicalBaseDpi"), 96},
                                       {QStringLiteral("dpr"), 1}});
        }
        QJsonObject configuration = original_;
        configuration[QStringLiteral("screens")] = screens;
        setConfiguration_(configuration, native_);
    }

private:
    QPlatformNativeInterface* native_ = nullptr;
    QJsonObject (*configuration_)(QPlatformNativeInterface*) = nullptr;
    void (*setConfiguration_)(const QJsonObject&, QPlatformNativeInterface*) = nullptr;
    QJsonObject original_;
};

const QRect kLeft(0, 0, 1280, 800);
const QRect kRight(1280, 0, 1920, 1080);
const QRect kBelow(0, 800, 1024, 768);

struct QtScreenCoversTest : ::testing::Test {
    OffscreenScreens screens;
    test::SimTime time;
    QtScreenCovers covers;
    CleaningScreenCover cover{covers, time.scheduler};

    void SetUp() override {
        if (!screens.isAvailable()) GTEST_SKIP() << "the offscreen platform cannot change its screens here";
        screens.set({kLeft, kRight});
        test::SimTime::drain();
    }

    std::vector<QRect> coverGeometries() const {
        std::vector<QRect> geometries;
        for (const ScreenCovers::CoverId id : cover.windows()) {
            QWidget* window = covers.window(id);
            geometries.push_back(window && window->isVisible() ? window->geometry() : QRect());
        }
        return geometries;
    }
    int visibleHints() const {
        int count = 0;
        for (const ScreenCovers::CoverId id : cover.windows()) {
            if (QLabel* label = covers.hintLabel(id); label && label->isVisible()) ++count;
        }
        return count;
    }
};

TEST_F(QtScreenCoversTest, BlackTopmostWindowsCoverEveryScreenWithoutAPointer) {
    cover.show();
    EXPECT_EQ(coverGeometries(), (std::vector<QRect>{kLeft, kRight}));
    for (const ScreenCovers::CoverId id : cover.windows()) {
        QWidget* window = covers.window(id);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(window->palette().color(QPalette::Window), QColor(Qt::black));
        EXPECT_EQ(window->cursor().shape(), Qt::BlankCursor);
        const QImage pixels = window->grab(QRect(0, 0, 8, 8)).toImage();
        EXPECT_EQ(pixels.pixelColor(2, 2), QColor(Qt::black));
        QLabel* hint = covers.hintLabel(id);
        ASSERT_NE(hint, nullptr);
        EXPECT_EQ(hint->text(), QStringLiteral("连按两次 Esc 提前退出"));
        EXPECT_EQ(hint->font().pixelSize(), 17);
    }

    time.advanceBy(CleaningScreenCover::kExitHintDuration);
    EXPECT_EQ(visibleHints(), 0);
    EXPECT_EQ(coverGeometries().size(), 2u);

    const auto windows = cover.windows();
    cover.hide();
    for (const ScreenCovers::CoverId id : windows) EXPECT_EQ(covers.window(id), nullptr);
    test::SimTime::drain();
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty()) << "the covers are gone, not just hidden";
}

TEST_F(QtScreenCoversTest, CoversFollowScreensThatComeAndGo) {
    QSignalSpy changed(&covers, &ScreenCovers::screensChanged);
    QObject::connect(&covers, &ScreenCovers::screensChanged, &cover, &CleaningScreenCover::rebuildWindows);
    cover.show();

    screens.set({kLeft, kRight, kBelow});
    test::SimTime::drain();
    EXPECT_EQ(changed.count(), 1) << "a burst of screen changes is reported once";
    EXPECT_EQ(coverGeometries(), (std::vector<QRect>{kLeft, kRight, kBelow}));
    EXPECT_EQ(visibleHints(), 3);

    time.advanceBy(CleaningScreenCover::kExitHintDuration);
    screens.set({kRight});
    test::SimTime::drain();
    EXPECT_EQ(coverGeometries(), (std::vector<QRect>{kRight}));
    EXPECT_EQ(visibleHints(), 0);
    EXPECT_EQ(covers.window(cover.windows().front())->cursor().shape(), Qt::BlankCursor)
        << "a rebuilt cover keeps the pointer hidden";

    cover.hide();
    test::SimTime::drain();
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

}  // namespace
}  // namespace glidra
