#include "executors/WindowScreenshotService.h"

#include "platform/sim/SimInteractiveScreenshot.h"
#include "platform/sim/SimPasteboard.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace glidra {
namespace {

using test::SimTime;
using Kind = HUDNotice::Kind;

const HUDNotice started{QStringLiteral("点击选择窗口 · Esc 取消"), QStringLiteral("camera.viewfinder"),
                        Kind::information};
const HUDNotice copied{QStringLiteral("窗口截图已复制"), QStringLiteral("checkmark"), Kind::success};
const HUDNotice notDone{QStringLiteral("窗口截图已取消或未完成"), QStringLiteral("camera"), Kind::information};
const HUDNotice launchFailed{QStringLiteral("无法打开窗口截图选择"), QStringLiteral("camera"), Kind::error};

struct ScreenshotFixture : ::testing::Test {
    sim::SimPasteboard pasteboard;
    sim::SimInteractiveScreenshot tool{pasteboard};
    // The controller's side: its selecting flag and every report, in order.
    QStringList log;
    std::vector<HUDNotice> reports;
    bool selecting = false;
    WindowScreenshotService service{tool, platform()};

    WindowScreenshotService::Platform platform() {
        WindowScreenshotService::Platform p{
            [this](bool value) {
                selecting = value;
                log.append(value ? QStringLiteral("selecting") : QStringLiteral("idle"));
            },
            [this](const HUDNotice& notice) {
                reports.push_back(notice);
                log.append(QStringLiteral("report ") + notice.text);
            },
            {},
            {},
        };
        WindowScreenshotService::readClipboardFrom(p, pasteboard);
        return p;
    }

    // The notice of a start whose tool answers at once.
    std::optional<HUDNotice> start() {
        auto notice = test::resultOf(service.start());
        SimTime::drain();
        return *notice;
    }
};

TEST_F(ScreenshotFixture, APictureOnTheClipboardIsReportedAsCopied) {
    EXPECT_EQ(start(), started);
    EXPECT_TRUE(service.isActive());
    EXPECT_TRUE(selecting);
    tool.pickWindow();
    SimTime::drain();
    EXPECT_FALSE(service.isActive());
    EXPECT_EQ(log, (QStringList{QStringLiteral("selecting"), QStringLiteral("report ") + started.text,
                                QStringLiteral("idle"), QStringLiteral("report ") + copied.text}));
}

TEST_F(ScreenshotFixture, AnythingButANewPictureCountsAsNotDone) {
    struct Case {
        const char* name;
        std::function<void(ScreenshotFixture&)> during;
        int status;
    };
    const Case cases[] = {
        {"Escape", [](ScreenshotFixture&) {}, 0},
        {"another program copied text", [](ScreenshotFixture& f) { f.pasteboard.copyText(QStringLiteral("x")); }, 0},
        {"a picture, but the tool failed", [](ScreenshotFixture& f) { f.pasteboard.copyImage(); }, 1},
    };
    for (const Case& c : cases) {
        pasteboard.copyImage();  // an older picture proves nothing
        reports.clear();
        start();
        c.during(*this);
        tool.end(c.status);
        SimTime::drain();
        ASSERT_EQ(reports.size(), 2u) << c.name;
        EXPECT_EQ(reports[1], notDone) << c.name;
        EXPECT_FALSE(selecting) << c.name;
    }
}

TEST_F(ScreenshotFixture, StartingDuringASelectionLaunchesNoSecondTool) {
    start();
    EXPECT_EQ(start(), started);
    EXPECT_EQ(tool.launches().size(), 1u);
    EXPECT_EQ(reports.size(), 1u);
}

TEST_F(ScreenshotFixture, AToolThatCannotStartLeavesTheServiceIdle) {
    tool.setFailsToLaunch(true);
    EXPECT_EQ(start(), launchFailed);
    EXPECT_FALSE(service.isActive());
    EXPECT_EQ(log, (QStringList{QStringLiteral("selecting"), QStringLiteral("idle"),
                                QStringLiteral("report ") + launchFailed.text}));
    tool.setFailsToLaunch(false);
    EXPECT_EQ(start(), started);
}

TEST_F(ScreenshotFixture, CancellingEndsTheToolQuietlyAndItsLateEndIsIgnored) {
    start();
    service.cancel();
    EXPECT_FALSE(service.isActive());
    EXPECT_FALSE(selecting);
    EXPECT_EQ(tool.launches()[0]->terminations, 1);
    EXPECT_EQ(reports.size(), 1u) << "only the start was reported";
    service.cancel();  // nothing runs: no effect
    EXPECT_EQ(tool.launches()[0]->terminations, 1);

    // A newer selection runs when the first one's end arrives after all.
    start();
    pasteboard.copyImage();
    tool.deliverLateEnd(0, 0);
    SimTime::drain();
    EXPECT_TRUE(service.isActive());
    EXPECT_TRUE(selecting);
    EXPECT_EQ(reports.size(), 2u);

    tool.end(0);
    SimTime::drain();
    EXPECT_FALSE(service.isActive());
    EXPECT_EQ(reports.back(), copied);
}

TEST_F(ScreenshotFixture, CancellingWhileTheToolStartsEndsItUnseen) {
    tool.answers.setHolds(true);
    auto notice = test::resultOf(service.start());
    SimTime::drain();
    EXPECT_TRUE(service.isActive()) << "selecting while the tool starts";
    EXPECT_EQ(start(), started) << "no second tool meanwhile";
    service.cancel();
    tool.answers.release();
    SimTime::drain();
    EXPECT_EQ(*notice, notDone);
    ASSERT_EQ(tool.launches().size(), 1u);
    EXPECT_EQ(tool.launches()[0]->terminations, 1);
    EXPECT_FALSE(service.isActive());
    EXPECT_FALSE(selecting);
    EXPECT_TRUE(reports.empty());
}

}  // namespace
}  // namespace glidra
