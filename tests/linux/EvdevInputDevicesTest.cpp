#include "platform/linux/EvdevInputHub.h"
#include "platform/linux/EvdevKeyboardState.h"
#include "platform/linux/EvdevMultitouchFramework.h"
#include "platform/linux/InputAccessTrust.h"
#include "platform/linux/KeyCodeTranslation.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/TouchpadActivityPosition.h"
#include "platform/linux/UdevMultitouchDeviceRegistry.h"
#include "platform/linux/UinputDevice.h"
#include "support/FilePermissionsEnforced.h"
#include "support/LogCapture.h"
#include "support/UmockdevInput.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

namespace glidra::test {
namespace {

using namespace linux_platform;
using Change = MultitouchDeviceRegistry::Change;

const QStringList kTouchpad{QStringLiteral("ID_INPUT=1"), QStringLiteral("ID_INPUT_TOUCHPAD=1")};
const QStringList kKeyboard{QStringLiteral("ID_INPUT=1"), QStringLiteral("ID_INPUT_KEY=1"),
                            QStringLiteral("ID_INPUT_KEYBOARD=1")};

evdev::DeviceDescription touchpad() { return UmockdevInput::touchpad("Mock Touchpad", 2); }

// One finger lands and lifts.
std::vector<evdev::EvdevEvent> touch() {
    return {{0.00, EV_ABS, ABS_MT_TRACKING_ID, 1},
            {0.00, EV_ABS, ABS_MT_POSITION_X, 1500},
            {0.00, EV_ABS, ABS_MT_POSITION_Y, 1000},
            {0.00, EV_KEY, BTN_TOUCH, 1},
            {0.00, EV_SYN, SYN_REPORT, 0},
            {0.02, EV_ABS, ABS_MT_TRACKING_ID, -1},
            {0.02, EV_KEY, BTN_TOUCH, 0},
            {0.02, EV_SYN, SYN_REPORT, 0}};
}

class EvdevInputDevicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!UmockdevInput::available()) GTEST_SKIP() << "umockdev's preload library is not loaded";
        devices = std::make_unique<UmockdevInput>();
    }

    std::unique_ptr<UmockdevInput> devices;
};

TEST_F(EvdevInputDevicesTest, TouchpadsArrivingAndLeavingAreToldAndOtherDevicesAreNot) {
    EvdevInputHub hub;
    UdevMultitouchDeviceRegistry registry(hub);
    EvdevMultitouchFramework framework(hub);
    EXPECT_EQ(registry.anyDevicePresent(), false);
    int arrivals = 0;
    int removals = 0;
    ASSERT_TRUE(registry.subscribe(Change::arrival, [&] { ++arrivals; }));
    const auto removal = registry.subscribe(Change::removal, [&] { ++removals; });
    ASSERT_TRUE(removal);

    devices->addDevice(UmockdevInput::keyboard("Mock Keyboard"), kKeyboard);
    const QByteArray pad = devices->addDevice(touchpad(), kTouchpad);
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrivals == 1; }, 5'000));
    EXPECT_EQ(hub.presentNodes(InputDeviceClass::keyboard).size(), 1u);
    EXPECT_EQ(registry.anyDevicePresent(), true);

    // The driver lists it; its reference stays while it is present.
    ASSERT_TRUE(framework.load());
    const auto list = framework.createDeviceList();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(framework.startDevice(list.front()), 0);
    framework.releaseDeviceList(list);
    const auto again = framework.createDeviceList();
    EXPECT_EQ(again, list);
    framework.releaseDeviceList(again);

    devices->removeDevice(pad);
    ASSERT_TRUE(QTest::qWaitFor([&] { return removals == 1; }, 5'000));
    EXPECT_EQ(registry.anyDevicePresent(), false);
    EXPECT_TRUE(framework.createDeviceList().empty());

    // Unsubscribed: told nothing more.
    registry.unsubscribe(*removal);
    const QByteArray second = devices->addDevice(touchpad(), kTouchpad);
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrivals == 2; }, 5'000));
    devices->removeDevice(second);
    ASSERT_TRUE(QTest::qWaitFor([&] { return hub.presentNodes(InputDeviceClass::touchpad).empty(); }, 5'000));
    EXPECT_EQ(removals, 1);
}

TEST_F(EvdevInputDevicesTest, TheKeyboardStateCountsTheUsersKeysAndNeverOurVirtualDevices) {
    devices->addDevice(UmockdevInput::keyboard("Mock Keyboard"), kKeyboard, {KEY_LEFTSHIFT, KEY_A});
    // Our own device holding the application switcher's Alt and a Tab.
    devices->addDevice(UmockdevInput::keyboard(kOwnVirtualDeviceName), kKeyboard, {KEY_LEFTALT, KEY_TAB});
    EvdevInputHub hub;
    EvdevKeyboardState keyboard(hub);
    EXPECT_EQ(keyboard.combinedFlags(), key_codes::kShiftFlag);
    EXPECT_TRUE(keyboard.isKeyDown(56));
    EXPECT_TRUE(keyboard.isKeyDown(0));
    EXPECT_FALSE(keyboard.isKeyDown(58));
    EXPECT_FALSE(keyboard.isKeyDown(48));
}

TEST_F(EvdevInputDevicesTest, TheWatchdogLetsEveryGrabGoWhenTheMainLoopStopsAnswering) {
    const QByteArray keyboardNode = devices->addDevice(UmockdevInput::keyboard("Mock Keyboard"), kKeyboard);
    EvdevInputHub::Options options;
    options.watchdogLimit = 1.0;
    options.heartbeatIntervalMs = 50;
    EvdevInputHub hub(options);
    const auto lease = hub.acquire(unsigned(InputDeviceClass::keyboard));
    QSignalSpy lost(&hub, &EvdevInputHub::grabsLost);
    const int holder = 0;
    ASSERT_TRUE(hub.holdGrab(keyboardNode, &holder));
    EXPECT_TRUE(hub.grabs().isGrabbed(keyboardNode));

    // The main loop stops: no heartbeat, and the grab goes.
    const auto start = std::chrono::steady_clock::now();
    while (hub.grabs().anyGrab() && std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_FALSE(hub.grabs().anyGrab());
    EXPECT_TRUE(QTest::qWaitFor([&] { return lost.count() == 1; }, 5'000));
    // The holder's own release later finds nothing to do.
    hub.releaseGrab(keyboardNode, &holder);
    EXPECT_FALSE(hub.grabs().isGrabbed(keyboardNode));
}

TEST_F(EvdevInputDevicesTest, AGrabWaitsForHeldKeysToRiseAndItsReleaseForTheFingerToLift) {
    // The kernel says: A is down on the keyboard, a finger on the pad.
    const QByteArray keyboardNode = devices->addDevice(UmockdevInput::keyboard("Mock Keyboard"), kKeyboard, {KEY_A});
    const QByteArray pad = devices->addDevice(touchpad(), kTouchpad, {BTN_TOUCH, BTN_TOOL_FINGER});
    EvdevInputHub hub;
    const auto lease = hub.acquire(InputDeviceClass::keyboard | InputDeviceClass::touchpad);
    const int holder = 0;

    // Grabbed now, the desktop would never see A rise: held, not yet grabbed.
    ASSERT_TRUE(hub.holdGrab(keyboardNode, &holder));
    EXPECT_TRUE(hub.grabs().isGrabbed(keyboardNode));
    EXPECT_FALSE(hub.node(keyboardNode)->grabbed);
    EXPECT_TRUE(hub.node(keyboardNode)->grabPending);
    hub.releaseGrab(keyboardNode, &holder);
    EXPECT_FALSE(hub.node(keyboardNode)->grabPending);

    // A finger on the pad does not keep a grab off; it keeps the release back
    // until it lifts, or the pointer would jump by its travel.
    ASSERT_TRUE(hub.holdGrab(pad, &holder));
    EXPECT_TRUE(hub.node(pad)->grabbed);
    hub.releaseGrab(pad, &holder);
    EXPECT_FALSE(hub.grabs().isGrabbed(pad));
    EXPECT_TRUE(hub.node(pad)->grabbed);
    EXPECT_TRUE(hub.node(pad)->ungrabPending);
}

// A device that breaks in the middle of a read (here: the node hands out
// part of an event) is closed and no longer polled, though udev still lists
// it; the next lease opens it again.
TEST_F(EvdevInputDevicesTest, ADeviceFailingInTheMiddleOfAReadIsClosedUntilAskedForAgain) {
    const QByteArray pad = devices->addDevice(touchpad(), kTouchpad);
    EvdevInputHub hub;
    std::atomic<int> sunk = 0;
    hub.setFrameSink([&](void*, const evdev::Frame&) { ++sunk; });
    LogCapture log;
    auto lease = hub.acquire(unsigned(InputDeviceClass::touchpad));
    ASSERT_EQ(hub.openNodes(InputDeviceClass::touchpad).size(), 1u);

    // A whole event of a packet, then five bytes of the next.
    input_event half{};
    half.type = EV_ABS;
    half.code = ABS_MT_TRACKING_ID;
    half.value = 1;
    QByteArray broken(reinterpret_cast<const char*>(&half), sizeof(half));
    broken.append("\x03\x00\x35\x00\x00", 5);
    ASSERT_TRUE(devices->writeBytes(pad, broken));
    ASSERT_TRUE(QTest::qWaitFor([&] { return hub.openNodes(InputDeviceClass::touchpad).empty(); }, 5'000));
    EXPECT_EQ(hub.presentNodes(InputDeviceClass::touchpad).size(), 1u);
    EXPECT_TRUE(log.texts("glidra.input", QtInfoMsg)
                    .contains(QStringLiteral("stopped reading %1 (Mock Touchpad): the device is gone or cannot be read")
                                  .arg(QString::fromLatin1(pad))))
        << log.texts("glidra.input", QtInfoMsg).join(u'\n').toStdString();

    // Asked for again: open, and its frames come.
    const auto again = hub.acquire(unsigned(InputDeviceClass::touchpad));
    ASSERT_EQ(hub.openNodes(InputDeviceClass::touchpad).size(), 1u);
    ASSERT_TRUE(devices->write(pad, touch()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return sunk == 2; }, 5'000)) << sunk;
}

// While the session is away (locked, switched to another user, asleep) the
// devices are closed, grabs and all; back, they are open again, the grab
// taken anew and the frames coming.
TEST_F(EvdevInputDevicesTest, SuspendingClosesTheDevicesAndResumingOpensThemWithTheirGrabs) {
    const QByteArray keyboardNode = devices->addDevice(UmockdevInput::keyboard("Mock Keyboard"), kKeyboard);
    const QByteArray pad = devices->addDevice(touchpad(), kTouchpad);
    EvdevInputHub hub;
    std::atomic<int> sunk = 0;
    hub.setFrameSink([&](void*, const evdev::Frame&) { ++sunk; });
    const auto lease = hub.acquire(InputDeviceClass::keyboard | InputDeviceClass::touchpad);
    const int holder = 0;
    ASSERT_TRUE(hub.holdGrab(keyboardNode, &holder));
    ASSERT_TRUE(hub.isGrabbedNow(keyboardNode));

    hub.setSuspended(true);
    EXPECT_TRUE(hub.openNodes(InputDeviceClass::touchpad).empty());
    EXPECT_TRUE(hub.openNodes(InputDeviceClass::keyboard).empty());
    EXPECT_FALSE(hub.isGrabbedNow(keyboardNode));
    EXPECT_TRUE(hub.grabs().isGrabbed(keyboardNode)) << "the holder still wants it";
    // A new lease opens nothing while suspended.
    const auto meanwhile = hub.acquire(unsigned(InputDeviceClass::touchpad));
    EXPECT_TRUE(hub.openNodes(InputDeviceClass::touchpad).empty());

    hub.setSuspended(false);
    EXPECT_EQ(hub.openNodes(InputDeviceClass::touchpad).size(), 1u);
    EXPECT_EQ(hub.openNodes(InputDeviceClass::keyboard).size(), 1u);
    EXPECT_TRUE(hub.isGrabbedNow(keyboardNode));
    ASSERT_TRUE(devices->write(pad, touch()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return sunk == 2; }, 5'000)) << sunk;
}

// How many of the process's descriptors are open on the file `fd` is open on.
int descriptorsOnFileOf(int fd) {
    struct stat node {};
    if (fstat(fd, &node) != 0) return -1;
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        struct stat other {};
        const int descriptor = std::stoi(entry.path().filename().string());
        if (fstat(descriptor, &other) == 0 && other.st_dev == node.st_dev && other.st_ino == node.st_ino) ++count;
    }
    return count;
}

TEST_F(EvdevInputDevicesTest, TheActivityPositionCountsTheTouchFramesTheReaderAssembledOnItsOneDescriptor) {
    EvdevInputHub hub;
    std::atomic<int> sunk = 0;
    hub.setFrameSink([&](void*, const evdev::Frame&) { ++sunk; });
    TouchpadActivityPosition position(hub);
    const QByteArray pad = devices->addDevice(touchpad(), kTouchpad);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !hub.presentNodes(InputDeviceClass::touchpad).empty(); }, 5'000));
    EXPECT_EQ(position.position(), std::nullopt) << "no touchpad is read";

    const auto lease = hub.acquire(unsigned(InputDeviceClass::touchpad));
    const auto baseline = position.position();
    ASSERT_TRUE(baseline);
    EXPECT_EQ(position.position(), baseline);
    EXPECT_EQ(descriptorsOnFileOf(hub.node(pad)->fd()), 1) << "reading the activity opens nothing";

    // Read all the while: it must take no event from the reader.
    ASSERT_TRUE(devices->replay(pad, touch()));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            position.position();
            return sunk == 2;
        },
        5'000))
        << sunk << " of the 2 frames reached the sink";
    // The lift's frame has no finger on the surface: it counts as no touch.
    EXPECT_EQ(position.position(), QPoint(baseline->x() + 1, 0));
    EXPECT_EQ(hub.touchFrameCount(), 1u);
}

TEST_F(EvdevInputDevicesTest, EventsReadOnAWallClockNodeArriveOnTheMonotonicClock) {
    const QByteArray pad = devices->addDevice(touchpad(), kTouchpad);
    EvdevNode node(InputNode{pad, "Mock Touchpad", unsigned(InputDeviceClass::touchpad)});
    ASSERT_TRUE(node.open());
    EXPECT_FALSE(node.reportsMonotonicTime());
    EXPECT_TRUE(node.description().isMultitouch());
    EXPECT_EQ(node.description().slotCount(), 2);

    ASSERT_TRUE(devices->replay(pad, touch()));
    std::vector<evdev::EvdevEvent> events;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            node.read(events);
            return events.size() >= 8;
        },
        5'000));
    const double now = SystemClock().uptime();
    EXPECT_NEAR(events.front().time, now, 5.0);
    EXPECT_NEAR(events.back().time - events.front().time, 0.02, 0.005);
}

TEST_F(EvdevInputDevicesTest, TrustIsReadableTouchpadsAndAWritableUinput) {
    QTemporaryDir folder;
    const QString uinput = folder.filePath(QStringLiteral("uinput"));
    QFile file(uinput);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    devices->addDevice(touchpad(), kTouchpad);
    EvdevInputHub hub;
    EXPECT_TRUE(InputAccessTrust(hub, QFile::encodeName(uinput)).isProcessTrusted());
    EXPECT_FALSE(InputAccessTrust(hub, QFile::encodeName(folder.filePath(QStringLiteral("none")))).isProcessTrusted());

    ASSERT_TRUE(file.setPermissions(QFileDevice::ReadOwner));
    FilePermissionsEnforced enforced;
    QFile probe(uinput);
    if (probe.open(QIODevice::WriteOnly)) GTEST_SKIP() << "file permissions are not enforced here";
    EXPECT_FALSE(InputAccessTrust(hub, QFile::encodeName(uinput)).isProcessTrusted());
}

TEST_F(EvdevInputDevicesTest, EachGrantIsAskedOnItsOwn) {
    QTemporaryDir folder;
    const QString uinput = folder.filePath(QStringLiteral("uinput"));
    const QString rules = folder.filePath(QStringLiteral("rules.d"));
    ASSERT_TRUE(QDir().mkpath(rules));
    devices->addDevice(touchpad(), kTouchpad);
    EvdevInputHub hub;
    const InputAccessTrust trust(hub, QFile::encodeName(uinput), {rules});

    // The touchpad opens; no keyboard is there to open and its rule is not
    // installed; /dev/uinput does not exist.
    EXPECT_TRUE(trust.hasInputGrant(InputGrant::touchpad));
    EXPECT_FALSE(trust.hasInputGrant(InputGrant::keyboards));
    EXPECT_FALSE(trust.hasInputGrant(InputGrant::virtualInput));
    EXPECT_FALSE(trust.isProcessTrusted());

    // With no keyboard to ask, the installed rule answers for it.
    QFile rule(rules + QStringLiteral("/70-glidra-keyboards.rules"));
    ASSERT_TRUE(rule.open(QIODevice::WriteOnly));
    rule.close();
    EXPECT_TRUE(trust.hasInputGrant(InputGrant::keyboards));

    QFile device(uinput);
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    device.close();
    EXPECT_TRUE(trust.hasInputGrant(InputGrant::virtualInput));
    EXPECT_TRUE(trust.isProcessTrusted());
}

TEST_F(EvdevInputDevicesTest, ARefusedDeviceIsLoggedOnceWithItsNodeItsNameAndTheReason) {
    const QByteArray pad = devices->addDevice(touchpad(), kTouchpad);
    ASSERT_EQ(::chmod(pad.constData(), 0), 0);
    FilePermissionsEnforced enforced;
    if (const int fd = ::open(pad.constData(), O_RDONLY); fd >= 0) {
        ::close(fd);
        GTEST_SKIP() << "file permissions are not enforced here";
    }
    LogCapture log;
    EvdevInputHub hub;
    // Every new lease tries again; the same refusal is told once.
    hub.acquire(unsigned(InputDeviceClass::touchpad)).reset();
    const auto lease = hub.acquire(unsigned(InputDeviceClass::touchpad));
    const QStringList warnings = log.texts("glidra.input");
    ASSERT_EQ(warnings.size(), 1) << warnings.join(u'\n').toStdString();
    EXPECT_EQ(warnings[0], QStringLiteral("cannot open %1 (Mock Touchpad): %2 (no input access: see the input-access "
                                          "udev rules)")
                               .arg(QString::fromLatin1(pad), QString::fromLocal8Bit(std::strerror(EACCES))));

    // The registry names it, so that listening can say why it found nothing;
    // once it opens, it is no longer named.
    const UdevMultitouchDeviceRegistry registry(hub);
    const auto unreadable = registry.unreadableDevices();
    ASSERT_EQ(unreadable.size(), 1u);
    EXPECT_EQ(unreadable[0].node, pad.toStdString());
    EXPECT_EQ(unreadable[0].name, "Mock Touchpad");
    EXPECT_EQ(unreadable[0].error, EACCES);
    ASSERT_EQ(::chmod(pad.constData(), 0644), 0);
    hub.acquire(unsigned(InputDeviceClass::touchpad)).reset();
    EXPECT_TRUE(registry.unreadableDevices().empty());
}

TEST(UinputDeviceLog, AFailedOpenIsLoggedOnceWithItsReason) {
    LogCapture log;
    UinputDevice device;
    if (device.open()) GTEST_SKIP() << "/dev/uinput opens here";
    // Every send tries again; the same failure is told once.
    EXPECT_FALSE(device.open());
    const QStringList warnings = log.texts("glidra.input");
    ASSERT_EQ(warnings.size(), 1) << warnings.join(u'\n').toStdString();
    // The file, then the system's reason.
    EXPECT_TRUE(warnings[0].startsWith(QStringLiteral("cannot open /dev/uinput: "))) << warnings[0].toStdString();
    EXPECT_GT(warnings[0].section(u':', 1).section(u';', 0, 0).trimmed().size(), 0);
}

}  // namespace
}  // namespace glidra::test
