#include "inputd/InputServer.h"
#include "platform/linux/EvdevInputHub.h"
#include "platform/linux/InputAccessTrust.h"
#include "platform/linux/InputServiceClient.h"
#include "platform/linux/UinputDevice.h"
#include "support/UmockdevInput.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <linux/input.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

namespace glidra::test {
namespace {

using namespace linux_platform;

const QStringList kTouchpad{QStringLiteral("ID_INPUT=1"), QStringLiteral("ID_INPUT_TOUCHPAD=1")};

// The real input service on a socket of the test's, turned on a thread of its
// own, admitting this process (the seat and the executable as the test says).
class ServiceThread {
public:
    ServiceThread(const std::string& path, std::vector<inputd::InputNode> nodes, bool admitted) {
        listen_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.c_str(), path.size());
        ::unlink(path.c_str());  // an earlier service's
        EXPECT_EQ(::bind(listen_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(listen_, 4), 0);
        inputd::PeerFacts facts;
        facts.activeSeatUser = [] { return std::optional<uid_t>(::getuid()); };
        facts.executableOf = [admitted](pid_t) -> std::optional<std::string> {
            return admitted ? "/test/glidra" : "/test/another-program";
        };
        server_ = std::make_unique<inputd::InputServer>(listen_, inputd::PeerPolicy(facts, "/test/glidra"),
                                                        [nodes] { return nodes; });
        thread_ = std::thread([this] {
            while (!stop_) server_->runOnce(10);
        });
    }
    ~ServiceThread() {
        stop_ = true;
        thread_.join();
        server_.reset();
        ::close(listen_);
    }

private:
    int listen_ = -1;
    std::unique_ptr<inputd::InputServer> server_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class InputServiceClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!UmockdevInput::available()) GTEST_SKIP() << "umockdev's preload library is not loaded";
        devices = std::make_unique<UmockdevInput>();
        ASSERT_TRUE(folder.isValid());
        path = folder.filePath(QStringLiteral("inputd.sock")).toStdString();
    }

    std::unique_ptr<UmockdevInput> devices;
    QTemporaryDir folder;
    std::string path;
};

TEST_F(InputServiceClientTest, NoSocketOrARefusalLeavesTheProgramToOpenTheNodesItself) {
    EXPECT_EQ(InputServiceClient::connect(path), nullptr);
    const ServiceThread service(path, {}, false);
    EXPECT_EQ(InputServiceClient::connect(path), nullptr);
}

// Where the service runs, the reader's touchpad descriptor is the one the
// service hands over: a touchpad the service will not open stays closed,
// although the node itself would open.
TEST_F(InputServiceClientTest, TheReaderTakesItsTouchpadsFromTheService) {
    const QByteArray pad = devices->addDevice(UmockdevInput::touchpad("Mock Touchpad", 2), kTouchpad);
    struct Case {
        const char* name;
        bool listed;  // the service knows the node as a touchpad
        bool opens;
    };
    for (const Case& c : {Case{"listed", true, true}, Case{"unknown to the service", false, false}}) {
        SCOPED_TRACE(c.name);
        std::vector<inputd::InputNode> nodes;
        if (c.listed) nodes.push_back({pad.toStdString(), inputd::InputNode::touchpad});
        const ServiceThread service(path, nodes, true);
        const auto client = InputServiceClient::connect(path);
        ASSERT_NE(client, nullptr);
        EvdevInputHub::Options options;
        options.service = client.get();
        EvdevInputHub hub(options);
        std::atomic<int> frames{0};
        hub.setFrameSink([&](void*, const evdev::Frame&) { ++frames; });
        const auto lease = hub.acquire(unsigned(InputDeviceClass::touchpad));
        const auto refused = hub.refusedNodes(InputDeviceClass::touchpad);
        if (!c.opens) {
            ASSERT_EQ(refused.size(), 1u);
            EXPECT_EQ(refused[0].second, EACCES);
            continue;
        }
        // umockdev answers the ioctls only of descriptors its own process
        // opened, and one handed over a socket is not among them: the reader
        // then takes it for no evdev node (ENOTTY). A kernel's node opens.
        if (!refused.empty()) {
            EXPECT_EQ(refused[0].second, ENOTTY);
            continue;
        }
        ASSERT_EQ(hub.openNodes(InputDeviceClass::touchpad).size(), 1u);
        ASSERT_TRUE(devices->write(
            pad, {{0.00, EV_ABS, ABS_MT_TRACKING_ID, 1}, {0.00, EV_KEY, BTN_TOUCH, 1}, {0.00, EV_SYN, SYN_REPORT, 0}}));
        EXPECT_TRUE(QTest::qWaitFor([&] { return frames > 0; }, 5'000));
    }
}

// The service going away mid-session: the program opens the nodes itself
// again rather than waiting on a dead socket, and its access is what the
// nodes allow again.
TEST_F(InputServiceClientTest, AServiceThatGoesIsGivenUp) {
    const QByteArray pad = devices->addDevice(UmockdevInput::touchpad("Mock Touchpad", 2), kTouchpad);
    auto service = std::make_unique<ServiceThread>(path, std::vector<inputd::InputNode>{}, true);
    const auto client = InputServiceClient::connect(path);
    ASSERT_NE(client, nullptr);
    {
        const EvdevInputHub hub;
        const InputAccessTrust trust(hub, "/nonexistent/uinput", {}, client.get());
        EXPECT_TRUE(trust.hasInputGrant(InputGrant::virtualInput));
        EXPECT_TRUE(trust.isProcessTrusted());
        EXPECT_FALSE(trust.hasInputGrant(InputGrant::keyboards));
    }
    service.reset();
    EXPECT_EQ(client->openTouchpad(pad), -EPIPE);
    EXPECT_FALSE(client->connected());
    EvdevInputHub::Options options;
    options.service = client.get();
    EvdevInputHub hub(options);
    const auto lease = hub.acquire(unsigned(InputDeviceClass::touchpad));
    EXPECT_EQ(hub.openNodes(InputDeviceClass::touchpad).size(), 1u);
    EXPECT_FALSE(
        InputAccessTrust(hub, "/nonexistent/uinput", {}, client.get()).hasInputGrant(InputGrant::virtualInput));
}

// The service's own executable, admitting by the kernel's word (SO_PEERCRED,
// /proc/<pid>/exe) and the seat file's: this test's program when it is the
// client named, and no other program of the same user.
TEST_F(InputServiceClientTest, TheServiceAdmitsOnlyTheProgramItNames) {
    const QString seat = folder.filePath(QStringLiteral("seat0"));
    QFile seatFile(seat);
    ASSERT_TRUE(seatFile.open(QIODevice::WriteOnly));
    seatFile.write(QStringLiteral("ACTIVE=c1\nACTIVE_UID=%1\n").arg(::getuid()).toUtf8());
    seatFile.close();
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    for (const QString& client : {self, QStringLiteral("/usr/bin/glidra")}) {
        SCOPED_TRACE(client.toStdString());
        QFile::remove(QString::fromStdString(path));
        QProcess service;
        service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        service.start(QStringLiteral(GLIDRA_INPUTD),
                      {QStringLiteral("--socket"), QString::fromStdString(path), QStringLiteral("--client"), client,
                       QStringLiteral("--seat-file"), seat});
        ASSERT_TRUE(service.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(QString::fromStdString(path)); }, 5'000));
        const auto connection = InputServiceClient::connect(path);
        EXPECT_EQ(connection != nullptr, client == self);
        service.terminate();
        ASSERT_TRUE(service.waitForFinished(5'000));
    }
}

}  // namespace
}  // namespace glidra::test
