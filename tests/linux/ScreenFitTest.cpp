// Every window of the program on a laptop's 1366x768 screen at 100 %, 150 %
// and 200 %, through the real X platform under Xvfb with a window manager
// that frames and places the windows: the tour program checks each window
// and each of its buttons on the display it is given.

#include "platform/linux/EwmhProperties.h"
#include "platform/linux/XcbConnection.h"
#include "support/PrivateXServer.h"
#include "support/SpawnedProcess.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QStandardPaths>
#include <QTest>

#include <ostream>

namespace glidra::test {
namespace {

struct Scale {
    const char* factor;  // QT_SCALE_FACTOR
    const char* name;
};

void PrintTo(const Scale& scale, std::ostream* out) { *out << "QT_SCALE_FACTOR=" << scale.factor; }

class ScreenFitTest : public ::testing::TestWithParam<Scale> {};

TEST_P(ScreenFitTest, EveryButtonOfEveryWindowCanBeShownOnALaptopScreen) {
    for (const char* program : {"Xvfb", "openbox"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
            GTEST_SKIP() << program << " is not installed (scripts/test installs it)";
        }
    }
    const PrivateXServer x(QStringLiteral("1366x768x24"));
    ASSERT_TRUE(x.isRunning()) << x.failure().toStdString();
    const QByteArray display = "DISPLAY=" + x.display().toUtf8();
    SpawnedProcess windowManager;
    ASSERT_TRUE(windowManager.start("openbox", {"--sm-disable"}, testEnvironment({display, "LD_PRELOAD="})));
    linux_platform::XcbConnection x11(x.display().toUtf8());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return !linux_platform::ewmh::items32(x11.property(x11.root(), "_NET_SUPPORTING_WM_CHECK"),
                                                  linux_platform::ewmh::kAtomWindow)
                        .empty();
        },
        10000))
        << "the window manager did not start";

    const std::optional<FinishedProgram> tour =
        runToEnd(GLIDRA_SCREEN_FIT_TOUR, {},
                 {display, "QT_SCALE_FACTOR=" + QByteArray(GetParam().factor),
                  "QT_SCREEN_SCALE_FACTORS=", "QT_QPA_PLATFORMTHEME=", "LD_PRELOAD="},
                 240000);
    ASSERT_TRUE(tour) << "the tour did not finish";
    EXPECT_EQ(tour->exitCode, 0) << tour->output.toStdString() << tour->log.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Scales, ScreenFitTest,
                         ::testing::Values(Scale{"1", "at100"}, Scale{"1.5", "at150"}, Scale{"2", "at200"}),
                         [](const ::testing::TestParamInfo<Scale>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace glidra::test
