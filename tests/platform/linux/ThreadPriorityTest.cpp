#include "platform/FakeRealtimeKit.h"
#include "platform/PrivateBusTest.h"
#include "platform/linux/InputThreadPriority.h"
#include "platform/linux/RealtimeKitThreadPriority.h"
#include "platform/linux/RealtimeOverrunGuard.h"
#include "platform/sim/SimThreadPriority.h"
#include "support/FakeDesktopServices.h"
#include "support/LogCapture.h"
#include "support/SpawnedProcess.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace glidra {
namespace {

using linux_platform::RealtimeKitThreadPriority;
using test::FakeRealtimeKit;
using Kind = ThreadPriority::Grant::Kind;

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");

// RLIMIT_RTTIME can only be lowered: each case allows less realtime run
// time than the one before, so that a grant shows the adapter lowered the
// limit itself.
using RealtimeKitThreadPriorityTest = test::PrivateBusTest;

struct GrantCase {
    const char* name;
    FakeRealtimeKit::Policy policy;
    ThreadPriority::Request request;
    bool ownThread;
    Kind kind;
    int priority;
};

TEST_F(RealtimeKitThreadPriorityTest, AsksForWhatTheServiceAllowsAndFallsBackToANiceLevel) {
    const GrantCase cases[] = {
        {"realtime as asked", {20, -15, 200000, false}, {20, -11}, true, Kind::realtime, 20},
        {"realtime capped at the maximum", {5, -15, 150000, false}, {20, -11}, true, Kind::realtime, 5},
        {"no realtime allowed at all", {0, -15, 140000, false}, {20, -11}, true, Kind::highPriority, -11},
        {"realtime refused: the nice level", {20, -15, 130000, true}, {20, -11}, true, Kind::highPriority, -11},
        {"the nice level capped at the minimum", {20, -5, 120000, true}, {20, -11}, true, Kind::highPriority, -5},
        {"a thread of another process", {20, -15, 110000, false}, {20, -11}, false, Kind::refused, 0},
        {"realtime, again below the last limit", {20, -15, 100000, false}, {10, -11}, true, Kind::realtime, 10},
    };
    int round = 0;
    for (const GrantCase& c : cases) {
        SCOPED_TRACE(c.name);
        ++round;
        const QString serviceConnection = QStringLiteral("rtkit-service-%1").arg(round);
        // The name goes with the service's connection, for the next case.
        const auto release = qScopeGuard([&] { QDBusConnection::disconnectFromBus(serviceConnection); });
        test::FakeServiceHost host(connectToBus(serviceConnection));
        auto service = std::make_unique<FakeRealtimeKit>(c.policy);
        FakeRealtimeKit* rtkit = service.get();
        ASSERT_TRUE(host.serve(kService, kPath, std::move(service)));

        RealtimeKitThreadPriority priority(connectToBus(QStringLiteral("rtkit-client-%1").arg(round)));
        // pid 1's own thread: never one of ours.
        const std::int64_t thread = c.ownThread ? RealtimeKitThreadPriority::currentThread() : 1;
        const auto grant = test::waitForResult(priority.raise(thread, c.request));
        ASSERT_TRUE(grant);
        EXPECT_EQ(grant->kind, c.kind) << grant->reason.toStdString();
        EXPECT_EQ(grant->priority, c.priority);
        if (c.kind == Kind::realtime) {
            EXPECT_EQ(rtkit->granted(), QStringList{QStringLiteral("realtime %1 %2").arg(thread).arg(c.priority)});
            rlimit limit{};
            getrlimit(RLIMIT_RTTIME, &limit);
            EXPECT_LE(limit.rlim_max, rlim_t(c.policy.rtTimeUSecMax));
            EXPECT_LT(limit.rlim_cur, limit.rlim_max) << "SIGXCPU comes before SIGKILL";
        } else if (c.kind == Kind::highPriority) {
            EXPECT_EQ(rtkit->granted(), QStringList{QStringLiteral("nice %1 %2").arg(thread).arg(c.priority)});
            EXPECT_FALSE(grant->reason.isEmpty()) << "why realtime was refused";
        } else {
            EXPECT_TRUE(rtkit->granted().isEmpty());
        }
    }
}

TEST_F(RealtimeKitThreadPriorityTest, NoServiceOrNoBusIsUnavailable) {
    RealtimeKitThreadPriority absent(connectToBus(QStringLiteral("rtkit-absent")));
    const auto grant = test::waitForResult(absent.raise(RealtimeKitThreadPriority::currentThread(), {20, -11}));
    ASSERT_TRUE(grant);
    EXPECT_EQ(grant->kind, Kind::unavailable);
    EXPECT_TRUE(grant->reason.contains(QStringLiteral("ServiceUnknown"))) << grant->reason.toStdString();

    RealtimeKitThreadPriority noBus(
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("rtkit-no-bus")));
    const auto none = test::waitForResult(noBus.raise(RealtimeKitThreadPriority::currentThread(), {20, -11}));
    QDBusConnection::disconnectFromBus(QStringLiteral("rtkit-no-bus"));
    ASSERT_TRUE(none);
    EXPECT_EQ(none->kind, Kind::unavailable);
}

// The real RealtimeKit with the real polkit, on a system bus of the test's
// own. Only root can run it here (the service sets the thread's scheduling,
// and polkit authorizes root without a session); elsewhere it skips.
TEST(RealtimeKitServiceTest, TheRealServiceRaisesAThreadOfOursToItsMaximum) {
    const QByteArray rtkitDaemon = "/usr/libexec/rtkit-daemon";
    const QByteArray polkitDaemon = "/usr/lib/polkit-1/polkitd";
    if (geteuid() != 0) GTEST_SKIP() << "RealtimeKit and polkit run as root";
    if (!QFile::exists(QString::fromLatin1(rtkitDaemon)) || !QFile::exists(QString::fromLatin1(polkitDaemon))) {
        GTEST_SKIP() << "rtkit or polkit is not installed";
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Open to every user: polkit drops to a user of its own.
    QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeGroup | QFile::ExeOther);
    QFile config(dir.filePath(QStringLiteral("bus.conf")));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("<busconfig><type>system</type><listen>unix:path=" + QFile::encodeName(dir.filePath("bus")) +
                 "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/>"
                 "<allow own=\"*\"/><allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy>"
                 "</busconfig>\n");
    config.close();
    test::SpawnedProcess busDaemon;
    const auto address = busDaemon.startAndReadLine(
        "dbus-daemon", {"--config-file=" + QFile::encodeName(config.fileName()), "--nofork", "--print-address=1"}, {},
        10000);
    ASSERT_TRUE(address) << busDaemon.log().toStdString();
    const QList<QByteArray> environment{"DBUS_SYSTEM_BUS_ADDRESS=" + *address};
    test::SpawnedProcess polkit;
    ASSERT_TRUE(polkit.start(polkitDaemon, {}, environment));
    test::SpawnedProcess rtkit;
    ASSERT_TRUE(rtkit.start(rtkitDaemon,
                            {"--no-drop-privileges", "--no-chroot", "--no-canary", "--no-limit-resources",
                             "--max-realtime-priority=15", "--stderr"},
                            environment));
    const QString connectionName = QStringLiteral("real-rtkit");
    const auto disconnect = qScopeGuard([&] { QDBusConnection::disconnectFromBus(connectionName); });
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLatin1(*address), connectionName);
    ASSERT_TRUE(bus.isConnected());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return bus.interface()->isServiceRegistered(kService).value() &&
                   bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.PolicyKit1")).value();
        },
        10000))
        << rtkit.log().toStdString() << polkit.log().toStdString();

    // The thread raised is one that waits, never the test's own.
    std::atomic<pid_t> target{0};
    std::atomic<bool> done{false};
    std::thread waiting([&] {
        target = pid_t(syscall(SYS_gettid));
        while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    while (target == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto stop = qScopeGuard([&] {
        done = true;
        waiting.join();
    });

    RealtimeKitThreadPriority priority(bus);
    const auto grant = test::waitForResult(priority.raise(target, {20, -11}));
    ASSERT_TRUE(grant);
    EXPECT_EQ(grant->kind, Kind::realtime) << grant->reason.toStdString() << rtkit.log().toStdString();
    EXPECT_EQ(grant->priority, 15);
    EXPECT_EQ(sched_getscheduler(target), SCHED_RR | SCHED_RESET_ON_FORK);
    sched_param param{};
    sched_getparam(target, &param);
    EXPECT_EQ(param.sched_priority, 15);
}

// --- the input threads, on the simulated service -----------------------------------------

QCoro::Task<bool> finished(QCoro::Task<void> task) {
    co_await std::move(task);
    co_return true;
}

TEST(InputThreadPriorityTest, TheReaderComesFirstAndOneLineSaysWhatBothGot) {
    const ThreadPriority::Grant none{Kind::unavailable, 0, QStringLiteral("no RealtimeKit")};
    const ThreadPriority::Grant realtime{Kind::realtime, 20, {}};
    const ThreadPriority::Grant nice{Kind::highPriority, -11, QStringLiteral("not authorized")};
    const ThreadPriority::Grant refused{Kind::refused, 0, QStringLiteral("realtime: denied; nice -11: denied")};
    struct Case {
        const char* name;
        ThreadPriority::Grant reader;
        ThreadPriority::Grant main;
        std::size_t requests;
        const char* logged;
    };
    const Case cases[] = {
        {"nothing raises threads", none, none, 1,
         "nothing raises the input threads (no RealtimeKit): they run at normal priority"},
        {"realtime", realtime, realtime, 2,
         "the touchpad reader thread and the main thread run at realtime priority 20"},
        {"a nice level", nice, nice, 2,
         "the touchpad reader thread and the main thread run at nice -11 (realtime refused: not authorized)"},
        {"refused", refused, refused, 2,
         "the touchpad reader thread and the main thread run at normal priority (realtime: denied; nice -11: "
         "denied)"},
        {"each its own", realtime, nice, 2,
         "the touchpad reader thread runs at realtime priority 20, the main thread at nice -11 (realtime refused: "
         "not authorized)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::SimThreadPriority priority;
        priority.setGrant(c.main);
        priority.setGrant(101, c.reader);
        test::LogCapture log;
        EXPECT_TRUE(test::completed(finished(linux_platform::raiseInputThreads(priority, 101, 100))));
        ASSERT_EQ(priority.requests().size(), c.requests);
        EXPECT_EQ(priority.requests()[0], std::make_pair(std::int64_t(101), linux_platform::kReaderThreadRequest));
        if (c.requests > 1) {
            EXPECT_EQ(priority.requests()[1], std::make_pair(std::int64_t(100), linux_platform::kMainThreadRequest));
        }
        EXPECT_EQ(log.texts("glidra.input", QtInfoMsg).join(QLatin1Char('\n')).toStdString(), c.logged);
        EXPECT_EQ(log.messages().size(), 1u);
    }
}

// --- a realtime thread that runs over its limit ----------------------------------------------

pid_t currentThread() { return pid_t(syscall(SYS_gettid)); }

bool realtimeNow(pid_t thread) {
    const int policy = sched_getscheduler(thread) & ~SCHED_RESET_ON_FORK;
    return policy == SCHED_RR || policy == SCHED_FIFO;
}

// In a process of its own: two realtime threads, one of which spins past the
// soft limit while the other waits. 0 when only the spinning one was
// dropped to normal scheduling and the process lived; 77 when this process
// may not run realtime (the test then skips).
int overrunInChild(bool mainSpins) {
    // µs: SIGXCPU after 20 ms, SIGKILL after 100 ms (or what is left of the
    // limit, which this process cannot raise).
    rlimit limit{};
    getrlimit(RLIMIT_RTTIME, &limit);
    limit.rlim_max = std::min<rlim_t>(limit.rlim_max, 100'000);
    limit.rlim_cur = 20'000;
    if (setrlimit(RLIMIT_RTTIME, &limit) != 0) return 2;
    linux_platform::realtime_overrun::install();
    const sched_param rt{1};
    if (sched_setscheduler(0, SCHED_RR | SCHED_RESET_ON_FORK, &rt) != 0) return 77;
    linux_platform::realtime_overrun::track(currentThread());

    std::atomic<pid_t> helper{0};
    std::atomic<bool> done{false};
    std::atomic<int> helperSpun{0};  // 1: dropped to normal, 2: still realtime
    const auto spin = [&done] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(800);
        while (realtimeNow(0) && std::chrono::steady_clock::now() < until) {
        }
    };
    std::thread other([&] {
        // A thread made by a raised one starts at normal scheduling (reset on fork).
        if (realtimeNow(0)) return;
        if (sched_setscheduler(0, SCHED_RR | SCHED_RESET_ON_FORK, &rt) != 0) return;
        linux_platform::realtime_overrun::track(currentThread());
        helper = currentThread();
        if (!mainSpins) {
            spin();
            helperSpun = realtimeNow(0) ? 2 : 1;
        }
        while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    while (helper == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    int result = 0;
    if (mainSpins) {
        spin();
        if (realtimeNow(0)) result = 3;
        if (!realtimeNow(helper)) result = 4;
    } else {
        while (helperSpun == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (helperSpun != 1) result = 3;
        if (!realtimeNow(0)) result = 4;
    }
    getrlimit(RLIMIT_RTTIME, &limit);
    if (result == 0 && limit.rlim_cur >= limit.rlim_max) result = 5;  // the next one to run over would be killed
    done = true;
    other.join();
    return result;
}

// The scenarios run in a process of their own, this test program started
// again for one of them: a fork of this process, which runs threads already,
// may not start threads (ThreadSanitizer refuses it).
constexpr const char* kScenario = "GLIDRA_OVERRUN_SCENARIO";

TEST(RealtimeOverrunGuardTest, Scenario) {
    const QByteArray scenario = qgetenv(kScenario);
    if (scenario.isEmpty()) GTEST_SKIP() << "run by the tests below in a process of its own";
    if (scenario == "cpu-limit") {
        linux_platform::realtime_overrun::install();
        raise(SIGXCPU);
        _exit(0);
    }
    _exit(overrunInChild(scenario == "main-spins"));
}

// The wait status of the scenario's process.
int runScenario(const QByteArray& scenario) {
    QList<QByteArray> environment;
    for (const QString& entry : QProcessEnvironment::systemEnvironment().toStringList()) {
        environment << entry.toLocal8Bit();
    }
    environment << QByteArray(kScenario) + "=" + scenario;
    test::SpawnedProcess process;
    if (!process.start(QFile::encodeName(QCoreApplication::applicationFilePath()),
                       {"--gtest_filter=RealtimeOverrunGuardTest.Scenario"}, environment)) {
        ADD_FAILURE() << "cannot start the scenario";
        return -1;
    }
    const std::optional<int> status = process.waitForExit(30000);
    if (!status) ADD_FAILURE() << "the scenario did not end: " << process.log().toStdString();
    return status.value_or(-1);
}

TEST(RealtimeOverrunGuardTest, OnlyTheThreadThatRanOverDropsToNormalAndTheProcessLives) {
    for (const char* scenario : {"main-spins", "other-spins"}) {
        SCOPED_TRACE(scenario);
        const int status = runScenario(scenario);
        ASSERT_FALSE(WIFSIGNALED(status)) << "killed by signal " << WTERMSIG(status);
        if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "this process may not run realtime";
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
}

TEST(RealtimeOverrunGuardTest, ACpuTimeLimitNoRealtimeThreadExplainsStillEndsTheProcess) {
    const int status = runScenario("cpu-limit");
    ASSERT_TRUE(WIFSIGNALED(status)) << "ended with " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGXCPU);
}

}  // namespace
}  // namespace glidra
