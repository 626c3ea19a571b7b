#include "inputd/InputServer.h"
#include "platform/linux/EvdevInputHub.h"
#include "platform/linux/EvdevKeyboardState.h"
#include "platform/linux/InputAccessTrust.h"
#include "platform/linux/InputServiceClient.h"
#include "platform/linux/KeyCodeTranslation.h"
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
const QStringList kKeyboard{QStringLiteral("ID_INPUT=1"), QStringLiteral("ID_INPUT_KEY=1"),
                            QStringLiteral("ID_INPUT_KEYBOARD=1")};

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

// With the service, the program never opens a keyboard or a mouse: what it
// learns of them is the service's summary, turned into the events and the
// held modifiers it has always seen, and its grab of them is the service's.
// When the service goes, the nodes are opened directly again.
TEST_F(InputServiceClientTest, KeyboardsAndPointersComeAsTheServiceTellsThem) {
    const QByteArray keyboard = devices->addDevice(UmockdevInput::keyboard("Mock Keyboard"), kKeyboard);
    auto service = std::make_unique<ServiceThread>(
        path,
        std::vector<inputd::InputNode>{
            {keyboard.toStdString(), inputd::InputNode::keyboard | inputd::InputNode::pointer}},
        true);
    const auto client = InputServiceClient::connect(path);
    ASSERT_NE(client, nullptr);
    EvdevInputHub::Options options;
    options.service = client.get();
    EvdevInputHub hub(options);
    std::vector<ObservedInput> seen;
    hub.addObserver([&](const ObservedInput& observed, const InputEvent&) { seen.push_back(observed); });
    const EvdevKeyboardState state(hub);
    const auto pointers = hub.acquire(unsigned(InputDeviceClass::pointer));
    ASSERT_TRUE(hub.serves(InputDeviceClass::keyboard));
    EXPECT_TRUE(hub.openNodes(InputDeviceClass::keyboard).empty());
    EXPECT_TRUE(InputAccessTrust(hub, "/nonexistent/uinput", {}, client.get()).hasInputGrant(InputGrant::keyboards));

    const auto waitFor = [&](InputEvent::Type type) {
        return QTest::qWaitFor(
            [&] {
                return std::any_of(seen.begin(), seen.end(),
                                   [type](const ObservedInput& observed) { return observed.event.type == type; });
            },
            5'000);
    };
    ASSERT_TRUE(devices->write(keyboard, {{0, EV_KEY, KEY_RIGHTCTRL, 1}, {0, EV_SYN, SYN_REPORT, 0}}));
    ASSERT_TRUE(waitFor(InputEvent::Type::flagsChanged));
    EXPECT_EQ(state.combinedFlags(), key_codes::modifierFlag(KEY_LEFTCTRL));
    ASSERT_TRUE(devices->write(keyboard, {{0, EV_KEY, KEY_Q, 1}, {0, EV_SYN, SYN_REPORT, 0}}));
    ASSERT_TRUE(waitFor(InputEvent::Type::keyDown));
    // A press, and which key only where it types nothing.
    EXPECT_EQ(seen.back().code, KEY_UNKNOWN);
    ASSERT_TRUE(devices->write(keyboard, {{0, EV_KEY, BTN_LEFT, 1}, {0, EV_SYN, SYN_REPORT, 0}}));
    ASSERT_TRUE(waitFor(InputEvent::Type::leftMouseDown));

    // Held at the service: what comes now is marked as kept from the desktop.
    int holder = 0;
    ASSERT_TRUE(hub.holdGrab(EvdevInputHub::servedDevnode(InputDeviceClass::keyboard), &holder));
    EXPECT_TRUE(hub.isGrabbedNow(EvdevInputHub::servedDevnode(InputDeviceClass::keyboard)));
    seen.clear();
    ASSERT_TRUE(devices->write(keyboard, {{0, EV_KEY, KEY_ESC, 1}, {0, EV_SYN, SYN_REPORT, 0}}));
    ASSERT_TRUE(waitFor(InputEvent::Type::keyDown));
    EXPECT_EQ(seen.front().code, KEY_ESC);
    EXPECT_TRUE(seen.front().grabbed);
    hub.releaseGrabs(&holder);
    EXPECT_FALSE(hub.isGrabbedNow(EvdevInputHub::servedDevnode(InputDeviceClass::keyboard)));

    service.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !hub.serves(InputDeviceClass::keyboard); }, 5'000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return hub.openNodes(InputDeviceClass::keyboard).size() == 1; }, 5'000));
    EXPECT_EQ(state.combinedFlags(), 0u) << "what the service said is held is not held any more";
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
