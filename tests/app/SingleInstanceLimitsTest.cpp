// What another program of the user's can make the running instance spend
// through its socket, and a socket left behind by one that crashed.

#include "app/SingleInstance.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <vector>

namespace glidra {
namespace {

using namespace std::chrono_literals;

QString runtimeFolder() { return test::temporaryHome() + QStringLiteral("/run"); }

bool closedByTheInstance(QLocalSocket& client, int milliseconds = 5000) {
    return QTest::qWaitFor([&] { return client.state() == QLocalSocket::UnconnectedState; }, milliseconds);
}

TEST(SingleInstanceTest, TheSocketOfAnInstanceThatCrashedIsTakenOver) {
    const QString folder = runtimeFolder();
    ASSERT_TRUE(QDir().mkpath(folder));
    SingleInstance first(folder);
    // What a crashed instance leaves: a socket file nobody listens on.
    {
        const QByteArray path = QFile::encodeName(first.socketPath());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
        ::close(fd);
        ASSERT_TRUE(QFile::exists(first.socketPath()));
    }
    ASSERT_TRUE(first.becomePrimary());
    QSignalSpy requested(&first, &SingleInstance::openWindowRequested);
    SingleInstance second(folder);
    EXPECT_EQ(second.start(), SingleInstance::Start::handedOver);
    EXPECT_TRUE(QTest::qWaitFor([&] { return requested.count() == 1; }, 5000));
}

struct Client {
    explicit Client(const SingleInstance& instance) {
        socket.connectToServer(instance.socketPath());
        connected = socket.waitForConnected(5000);
    }
    QLocalSocket socket;
    bool connected = false;
};

// A line longer than a request, or no end to it, or nothing at all: the
// instance reads no more than a request's worth, waits no longer than the
// silence allows, and closes the connection, where it used to hold all that
// came in memory, and every connection, for as long as the other side liked.
// The request of a later start still gets through.
TEST(SingleInstanceTest, AConnectionSendingMoreThanAShortLineOrStayingSilentIsClosed) {
    struct Case {
        QByteArray sent;
        std::chrono::milliseconds silence;
    };
    const Case cases[] = {
        // Silence alone closes nothing in these.
        {QByteArray(8 * 1024 * 1024, 'x'), 60s}, {QByteArray(64, 'x') + "open-window\n", 60s},
        {QByteArray(100, 'x') + '\n', 60s},      {QByteArray(), 200ms},
        {QByteArray("open-wind"), 200ms},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent.left(12).constData());
        SingleInstance instance(runtimeFolder());
        instance.setLimits({64, c.silence, 8});
        ASSERT_TRUE(instance.becomePrimary());
        QSignalSpy requested(&instance, &SingleInstance::openWindowRequested);
        QElapsedTimer waited;
        waited.start();
        Client client(instance);
        ASSERT_TRUE(client.connected);
        client.socket.write(c.sent);
        EXPECT_TRUE(closedByTheInstance(client.socket));
        if (c.silence < 1s) {
            EXPECT_GE(waited.elapsed(), 150);
        }
        EXPECT_EQ(instance.connectionCount(), 0);
        EXPECT_EQ(requested.count(), 0);

        SingleInstance later(runtimeFolder());
        EXPECT_TRUE(later.askPrimaryToOpenWindow());
        EXPECT_TRUE(QTest::qWaitFor([&] { return requested.count() == 1; }, 5000));
    }
}

// Idle connections by the thousand kept as many descriptors open: now only
// a few are kept, the newest, so a start asking for the window is served.
TEST(SingleInstanceTest, OnlyTheNewestFewConnectionsAreKeptOpen) {
    SingleInstance instance(runtimeFolder());
    instance.setLimits({64, 60s, 3});
    ASSERT_TRUE(instance.becomePrimary());
    QSignalSpy requested(&instance, &SingleInstance::openWindowRequested);
    std::vector<std::unique_ptr<Client>> idle;
    for (int i = 0; i < 10; ++i) {
        idle.push_back(std::make_unique<Client>(instance));
        ASSERT_TRUE(idle.back()->connected);
        // Accepted in the order they came.
        ASSERT_TRUE(QTest::qWaitFor([&] { return instance.connectionCount() == std::min(i + 1, 3); }, 5000));
    }
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(closedByTheInstance(idle[std::size_t(i)]->socket)) << i;
    QTest::qWait(50);
    for (int i = 7; i < 10; ++i) {
        EXPECT_EQ(idle[std::size_t(i)]->socket.state(), QLocalSocket::ConnectedState) << i;
    }
    EXPECT_EQ(instance.connectionCount(), 3);

    SingleInstance later(runtimeFolder());
    EXPECT_TRUE(later.askPrimaryToOpenWindow());
    EXPECT_TRUE(QTest::qWaitFor([&] { return requested.count() == 1; }, 5000));
    EXPECT_LE(instance.connectionCount(), 3);
}

}  // namespace
}  // namespace glidra
