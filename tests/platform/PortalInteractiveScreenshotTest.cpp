#include "platform/linux/PortalInteractiveScreenshot.h"

#include "executors/WindowScreenshotService.h"
#include "platform/FakeScreenshotPortal.h"
#include "platform/linux/QtClipboardPasteboard.h"
#include "support/PrivateSessionBus.h"
#include "support/QtPrinters.h"
#include "support/TaskResult.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDBusPendingCall>
#include <QGuiApplication>
#include <QImage>
#include <QTest>
#include <QUrl>

namespace glidra {
namespace {

using test::FakeScreenshotPortal;

struct PortalFixture : ::testing::Test {
    test::PrivateSessionBus bus;
    std::optional<FakeScreenshotPortal> portal;
    linux_platform::QtClipboardPasteboard pasteboard;
    std::optional<linux_platform::PortalInteractiveScreenshot> screenshot;
    std::vector<HUDNotice> reports;
    std::optional<WindowScreenshotService> service;
    QString picture;
    // How long a selection may take; the tests of the limit shorten it.
    int selectionLimitMs = linux_platform::PortalInteractiveScreenshot::selectionLimitMs;

    void SetUp() override {
        if (!bus.isRunning()) GTEST_SKIP() << "no private session bus: " << bus.failure().toStdString();
        screenshot.emplace(bus.connect(QStringLiteral("glidra-portal-client")), pasteboard, selectionLimitMs);
        WindowScreenshotService::Platform platform{
            [](bool) {}, [this](const HUDNotice& notice) { reports.push_back(notice); }, {}, {}};
        WindowScreenshotService::readClipboardFrom(platform, pasteboard);
        service.emplace(*screenshot, platform);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));

        QImage image(16, 9, QImage::Format_RGB32);
        image.fill(Qt::blue);
        picture = test::temporaryHome() + QStringLiteral("/Screenshot \"1\".png");
        ASSERT_TRUE(image.save(picture));
    }

    void publishPortal() {
        portal.emplace(bus.connect(QStringLiteral("glidra-portal")));
        ASSERT_TRUE(portal->publish());
    }

    bool waitFor(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, 20000); }

    // The notice of a start, once the portal is known to be there or not.
    std::optional<HUDNotice> start() { return test::waitForResult(service->start()); }

    // Everything the portal sent before is delivered once it answers a ping
    // on the same connection.
    bool roundTrip() {
        const QDBusMessage ping = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
        const QDBusPendingCall call = QDBusConnection(QStringLiteral("glidra-portal-client")).asyncCall(ping);
        const bool answered = waitFor([&call] { return call.isFinished(); });
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        return answered;
    }
};

TEST_F(PortalFixture, APickedWindowLandsOnTheClipboard) {
    publishPortal();
    EXPECT_EQ(start()->text, QStringLiteral("点击选择窗口 · Esc 取消"));
    ASSERT_TRUE(waitFor([&] { return !portal->calls.empty(); }));
    EXPECT_EQ(portal->calls[0].options.value(QStringLiteral("interactive")), QVariant(true));
    EXPECT_TRUE(portal->calls[0].options.value(QStringLiteral("handle_token")).toString().startsWith(u"glidra"));

    portal->respond(0, 0, {{QStringLiteral("uri"), QUrl::fromLocalFile(picture).toString()}});
    ASSERT_TRUE(waitFor([&] { return reports.size() == 2; }));
    EXPECT_EQ(reports[1].text, QStringLiteral("窗口截图已复制"));
    EXPECT_TRUE(pasteboard.hasImage());
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(16, 9));
}

TEST_F(PortalFixture, CancelledOrFailedSelectionsLeaveTheClipboard) {
    publishPortal();
    for (const uint response : {1u, 2u}) {
        reports.clear();
        const std::size_t call = portal->calls.size();
        start();
        ASSERT_TRUE(waitFor([&] { return portal->calls.size() == call + 1; }));
        portal->respond(call, response);
        ASSERT_TRUE(waitFor([&] { return reports.size() == 2; })) << response;
        EXPECT_EQ(reports[1].text, QStringLiteral("窗口截图已取消或未完成"));
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    }
}

TEST_F(PortalFixture, CancellingClosesTheRequestAndItsAnswerIsIgnored) {
    publishPortal();
    start();
    ASSERT_TRUE(waitFor([&] { return !portal->calls.empty(); }));
    service->cancel();
    ASSERT_TRUE(waitFor([&] { return portal->calls[0].closed; }));
    portal->respond(0, 0, {{QStringLiteral("uri"), QUrl::fromLocalFile(picture).toString()}});
    ASSERT_TRUE(roundTrip());
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

TEST_F(PortalFixture, WithoutThePortalTheSelectionCannotStart) {
    EXPECT_EQ(start()->text, QStringLiteral("无法打开窗口截图选择"));
    EXPECT_FALSE(service->isActive());
}

// A portal that quits, or crashes, while the user chooses takes the request
// with it; gestures must not stay suspended for a selection nobody serves.
TEST_F(PortalFixture, APortalThatLeavesTheBusEndsTheSelectionAsCancelled) {
    publishPortal();
    start();
    ASSERT_TRUE(waitFor([&] { return !portal->calls.empty(); }));
    EXPECT_TRUE(service->isActive());
    ASSERT_TRUE(QDBusConnection(QStringLiteral("glidra-portal"))
                    .unregisterService(QStringLiteral("org.freedesktop.portal.Desktop")));
    ASSERT_TRUE(waitFor([&] { return reports.size() == 2; }));
    EXPECT_EQ(reports[1].text, QStringLiteral("窗口截图已取消或未完成"));
    EXPECT_FALSE(service->isActive());
}

struct PortalLimitFixture : PortalFixture {
    PortalLimitFixture() { selectionLimitMs = 300; }
};

TEST_F(PortalLimitFixture, APortalThatNeverAnswersEndsTheSelectionAtTheLimit) {
    publishPortal();
    start();
    ASSERT_TRUE(waitFor([&] { return !portal->calls.empty(); }));
    ASSERT_TRUE(waitFor([&] { return reports.size() == 2; }));
    EXPECT_EQ(reports[1].text, QStringLiteral("窗口截图已取消或未完成"));
    EXPECT_FALSE(service->isActive());
    EXPECT_TRUE(waitFor([&] { return portal->calls[0].closed; })) << "the portal's dialog goes too";

    portal->respond(0, 0, {{QStringLiteral("uri"), QUrl::fromLocalFile(picture).toString()}});
    ASSERT_TRUE(roundTrip());
    EXPECT_EQ(reports.size(), 2u) << "a late answer changes nothing";
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

}  // namespace
}  // namespace glidra
