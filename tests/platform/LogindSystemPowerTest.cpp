// The logind adapter against a fake logind of ours on a private bus. The
// fake answers from a thread of its own, and can keep an answer back until
// the test gives it.

#include "executors/SystemPowerAction.h"
#include "platform/PrivateBusTest.h"
#include "platform/linux/LogindSystemPower.h"
#include "support/NoticePrinter.h"
#include "support/ServiceThread.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

#include <QDBusContext>
#include <QDBusMessage>
#include <QMutex>
#include <QTest>

#include <atomic>
#include <memory>
#include <optional>
#include <utility>

namespace glidra {
namespace {

using Result = SystemPower::SleepResult;

// org.freedesktop.login1.Manager, as far as suspending goes.
class FakeLogind final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    enum class Reply { suspend, accessDenied, never, later };
    std::atomic<Reply> reply{Reply::suspend};
    std::atomic<int> calls{0};
    std::atomic<bool> askedInteractively{false};

    // Gives the answer kept back with Reply::later.
    void answerNow() {
        QMutexLocker lock(&mutex_);
        if (held_) held_->first.send(held_->second.createReply());
        held_.reset();
    }

public Q_SLOTS:
    void Suspend(bool interactive) {
        ++calls;
        askedInteractively = interactive;
        switch (reply.load()) {
            case Reply::suspend:
                return;
            case Reply::accessDenied:
                sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Interactive authentication required."));
                return;
            case Reply::never:
                setDelayedReply(true);
                return;
            case Reply::later: {
                setDelayedReply(true);
                QMutexLocker lock(&mutex_);
                held_.emplace(connection(), message());
                return;
            }
        }
    }

private:
    QMutex mutex_;
    std::optional<std::pair<QDBusConnection, QDBusMessage>> held_;
};

class LogindSystemPowerTest : public test::PrivateBusTest {
protected:
    test::ServiceThread thread;
    std::unique_ptr<FakeLogind> logind;
    QDBusConnection client{QString()};
    QDBusConnection service{QString()};

    void SetUp() override {
        PrivateBusTest::SetUp();
        if (IsSkipped()) return;
        client = connectToBus(QStringLiteral("logind-client"));
        ASSERT_TRUE(client.isConnected());
    }
    void TearDown() override {
        if (logind) service.unregisterObject(QStringLiteral("/org/freedesktop/login1"));
        thread.stop();
        logind.reset();
        PrivateBusTest::TearDown();
    }

    void serveLogind() {
        logind = std::make_unique<FakeLogind>();
        thread.start();
        logind->moveToThread(&thread);
        service = connectToBus(QStringLiteral("logind-service"));
        ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/login1"), logind.get(),
                                           QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.login1")));
    }
};

TEST_F(LogindSystemPowerTest, SuspendsWithoutAskingForAPassword) {
    serveLogind();
    linux_platform::LogindSystemPower power(client);
    SystemPowerAction action(power);
    EXPECT_EQ(test::waitForResult(action.sleep()), test::notice("正在休眠", "moon.zzz", HUDNotice::Kind::success));
    EXPECT_EQ(logind->calls.load(), 1);
    EXPECT_FALSE(logind->askedInteractively.load());

    logind->reply = FakeLogind::Reply::accessDenied;
    EXPECT_EQ(test::waitForResult(action.sleep()),
              test::notice("系统未能进入休眠", "moon.zzz", HUDNotice::Kind::error));
}

TEST_F(LogindSystemPowerTest, WithoutAnAnsweringLogindThePowerManagementIsUnreachable) {
    const HUDNotice unreachable = test::notice("无法连接系统电源管理", "moon.zzz", HUDNotice::Kind::error);
    {
        linux_platform::LogindSystemPower power(client);
        EXPECT_EQ(test::waitForResult(SystemPowerAction(power).sleep()), unreachable) << "nobody serves logind";
    }
    {
        linux_platform::LogindSystemPower power(QDBusConnection(QStringLiteral("not-connected")));
        EXPECT_EQ(test::waitForResult(power.sleep()), Result::unavailable) << "no bus";
    }
    serveLogind();
    logind->reply = FakeLogind::Reply::never;
    linux_platform::LogindSystemPower power(client, 200);
    EXPECT_EQ(test::waitForResult(SystemPowerAction(power).sleep()), unreachable);
    EXPECT_EQ(logind->calls.load(), 1);
}

// Grabbed keys are posted again from the main thread: a slow logind must not
// hold it up while it decides.
TEST_F(LogindSystemPowerTest, ASlowLogindLeavesTheCallerFreeUntilItAnswers) {
    serveLogind();
    logind->reply = FakeLogind::Reply::later;
    linux_platform::LogindSystemPower power(client);
    SystemPowerAction action(power);
    auto notice = test::resultOf(action.sleep());
    EXPECT_FALSE(notice->has_value()) << "the call came back before logind answered";
    ASSERT_TRUE(QTest::qWaitFor([this] { return logind->calls.load() == 1; }, 20000)) << "the event loop ran on";
    EXPECT_FALSE(notice->has_value());

    logind->answerNow();
    ASSERT_TRUE(test::waitFor(notice));
    EXPECT_EQ(**notice, test::notice("正在休眠", "moon.zzz", HUDNotice::Kind::success));
}

}  // namespace
}  // namespace glidra

#include "LogindSystemPowerTest.moc"
