// The BlueZ adapter against a fake BlueZ of ours on a private bus.

#include "platform/linux/BluezBluetoothDevices.h"
#include "support/FakeBluez.h"
#include "support/PrivateDbusDaemon.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace glidra {
namespace {

using linux_platform::BluezBluetoothDevices;
using test::FakeBluez;
using Devices = std::vector<BluetoothDevices::PairedDevice>;

const QString kTrackpad = QStringLiteral("/org/bluez/hci0/dev_AA_BB_CC_DD_EE_01");
const QString kKeyboard = QStringLiteral("/org/bluez/hci0/dev_AA_BB_CC_DD_EE_02");
const QString kStranger = QStringLiteral("/org/bluez/hci0/dev_AA_BB_CC_DD_EE_03");

class BluezBluetoothDevicesTest : public ::testing::Test {
protected:
    test::PrivateDbusDaemon daemon;
    QString connectionName = QStringLiteral("bluez-adapter-test");
    std::unique_ptr<QDBusConnection> bus;

    void SetUp() override {
        if (!daemon.isRunning()) GTEST_SKIP() << "no private D-Bus daemon: " << daemon.failure().toStdString();
        bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(daemon.address(), connectionName));
        ASSERT_TRUE(bus->isConnected());
    }
    void TearDown() override {
        bus.reset();
        QDBusConnection::disconnectFromBus(connectionName);
    }

    static std::optional<Devices> list(BluezBluetoothDevices& bluetooth) {
        bool answered = false;
        std::optional<Devices> devices;
        bluetooth.pairedDevices(nullptr, [&](std::optional<Devices> answer) {
            answered = true;
            devices = std::move(answer);
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answered; }, 10'000));
        return devices;
    }

    // The outcome of one open request, or nothing when it was refused.
    static std::optional<bool> open(BluezBluetoothDevices& bluetooth, const QString& path) {
        std::optional<bool> outcome;
        if (!bluetooth.openConnection(path, nullptr, [&](bool connected) { outcome = connected; })) return std::nullopt;
        EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, 10'000));
        return outcome;
    }
};

TEST_F(BluezBluetoothDevicesTest, ListsThePairedDevicesByTheNameTheUserSees) {
    FakeBluez bluez(daemon.address());
    ASSERT_TRUE(bluez.isServing());
    bluez.addObject(QStringLiteral("/org/bluez/hci0"),
                    {{QStringLiteral("org.bluez.Adapter1"), {{QStringLiteral("Powered"), true}}}});
    bluez.addObject(kTrackpad, FakeBluez::device(QStringLiteral("小明的触控板"), true, false));
    bluez.addObject(kKeyboard, FakeBluez::device(QStringLiteral("Keyboard K380"), true, true));
    bluez.addObject(kStranger, FakeBluez::device(QStringLiteral("Someone's Trackpad"), false, false));

    BluezBluetoothDevices bluetooth(*bus);
    EXPECT_EQ(list(bluetooth), (Devices{{kTrackpad, QStringLiteral("小明的触控板"), false},
                                        {kKeyboard, QStringLiteral("Keyboard K380"), true}}));
}

TEST_F(BluezBluetoothDevicesTest, OpeningAConnectionReportsHowItEnded) {
    FakeBluez bluez(daemon.address());
    bluez.addObject(kTrackpad, FakeBluez::device(QStringLiteral("Magic Trackpad"), true, false));
    BluezBluetoothDevices bluetooth(*bus, 5'000, 300);

    EXPECT_EQ(open(bluetooth, kTrackpad), true);
    bluez.setConnectReply(FakeBluez::ConnectReply::failure);
    EXPECT_EQ(open(bluetooth, kTrackpad), false);
    // A device that never answers: the call ends at its timeout.
    bluez.setConnectReply(FakeBluez::ConnectReply::never);
    EXPECT_EQ(open(bluetooth, kTrackpad), false);
    EXPECT_EQ(bluez.connectCalls(), (QStringList{kTrackpad, kTrackpad, kTrackpad}));
    // Not an object path: refused at once.
    EXPECT_EQ(open(bluetooth, QStringLiteral("AA:BB")), std::nullopt);
}

TEST_F(BluezBluetoothDevicesTest, WithoutBluezOrABusItFindsNothingQuietly) {
    BluezBluetoothDevices onEmptyBus(*bus);
    EXPECT_EQ(list(onEmptyBus), std::nullopt);
    EXPECT_EQ(open(onEmptyBus, kTrackpad), false);

    BluezBluetoothDevices withoutBus(QDBusConnection(QStringLiteral("no-such-connection")));
    EXPECT_EQ(list(withoutBus), std::nullopt);
    EXPECT_EQ(open(withoutBus, kTrackpad), std::nullopt);
}

TEST_F(BluezBluetoothDevicesTest, AnswersStopWithTheirContext) {
    FakeBluez bluez(daemon.address());
    bluez.addObject(kTrackpad, FakeBluez::device(QStringLiteral("Magic Trackpad"), true, false));
    bluez.setConnectReply(FakeBluez::ConnectReply::never);
    BluezBluetoothDevices bluetooth(*bus);
    auto context = std::make_unique<QObject>();
    bool called = false;
    ASSERT_TRUE(bluetooth.openConnection(kTrackpad, context.get(), [&](bool) { called = true; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return bluez.connectCalls().size() == 1; }, 10'000));
    context.reset();
    bluez.answerHeldConnects(true);
    // A later list round trip lets the reply arrive first.
    list(bluetooth);
    EXPECT_FALSE(called);
}

}  // namespace
}  // namespace glidra
