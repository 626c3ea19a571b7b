#include "platform/linux/BluezBluetoothDevices.h"
#include "platform/sim/SimBluetoothDevices.h"
#include "support/FakeBluez.h"
#include "support/PrivateDbusDaemon.h"
#include "trackpad/PairedTrackpadConnector.h"

#include <gtest/gtest.h>

#include <QTest>

#include <memory>

namespace glidra {
namespace {

TEST(PairedTrackpadConnectorNames, ATrackpadIsKnownByItsNameInAnyOfItsLanguages) {
    const std::pair<const char*, bool> cases[] = {
        {"Magic Trackpad", true},
        {"MAGIC TRACKPAD 2", true},
        {"Trâckpad", true},
        {"小明的触控板", true},
        {"妙控板 觸控板", true},
        {"巧控板", true},
        {"マジックトラックパッド", true},
        {"매직 트랙패드", true},
        {"Bluetooth Touchpad", true},
        {"无线触摸板", true},
        {"Magic Mouse", false},
        {"Magic Keyboard", false},
        {"AirPods", false},
        {"Track pad", false},
    };
    for (const auto& [name, trackpad] : cases) {
        EXPECT_EQ(PairedTrackpadConnector::namesTrackpad(QString::fromUtf8(name)), trackpad) << name;
    }
}

class PairedTrackpadConnectorTest : public ::testing::Test {
protected:
    sim::SimBluetoothDevices bluetooth;
    std::unique_ptr<PairedTrackpadConnector> connector = std::make_unique<PairedTrackpadConnector>(bluetooth);
};

TEST_F(PairedTrackpadConnectorTest, OpensTheOneUnconnectedTrackpadOneAttemptAtATime) {
    bluetooth.pair(QStringLiteral("Magic Mouse"));
    const QString trackpad = bluetooth.pair(QStringLiteral("小明的触控板"));
    bluetooth.pair(QStringLiteral("Keyboard"), true);

    connector->connect();
    EXPECT_EQ(bluetooth.openRequests(), QStringList{trackpad});
    EXPECT_EQ(connector->pendingDevice(), trackpad);
    connector->connect();
    EXPECT_EQ(bluetooth.openRequests().size(), 1) << "still opening";

    // A failed attempt lets the next request try again.
    bluetooth.finishConnection(trackpad, false);
    EXPECT_FALSE(connector->isConnecting());
    connector->connect();
    EXPECT_EQ(bluetooth.openRequests().size(), 2);

    // Connected, it is left alone.
    bluetooth.finishConnection(trackpad, true);
    connector->connect();
    EXPECT_EQ(bluetooth.openRequests().size(), 2);
}

TEST_F(PairedTrackpadConnectorTest, NothingIsAttemptedUnlessExactlyOneTrackpadIsPaired) {
    connector->connect();
    bluetooth.pair(QStringLiteral("Magic Mouse"));
    bluetooth.pair(QStringLiteral("Magic Keyboard"));
    connector->connect();
    bluetooth.pair(QStringLiteral("Magic Trackpad"));
    bluetooth.pair(QStringLiteral("Office Trackpad"));
    connector->connect();
    EXPECT_TRUE(bluetooth.openRequests().isEmpty());
    EXPECT_FALSE(connector->isConnecting());
}

TEST_F(PairedTrackpadConnectorTest, AnUnreadableListOrARefusalEndsTheAttemptQuietly) {
    const QString trackpad = bluetooth.pair(QStringLiteral("Magic Trackpad"));
    bluetooth.setListFails(true);
    connector->connect();
    EXPECT_TRUE(bluetooth.openRequests().isEmpty());
    EXPECT_FALSE(connector->isConnecting());

    bluetooth.setListFails(false);
    bluetooth.setRefusesConnections(true);
    connector->connect();
    EXPECT_EQ(bluetooth.openRequests(), QStringList{trackpad});
    EXPECT_FALSE(connector->isConnecting());

    // An attempt that outlives its connector ends without it.
    bluetooth.setRefusesConnections(false);
    connector->connect();
    connector.reset();
    EXPECT_TRUE(bluetooth.finishConnection(trackpad, true));
}

// End to end: the connector over the BlueZ adapter, BlueZ faked on a
// private bus.
TEST(PairedTrackpadConnectorOverBluez, ConnectsThePairedTrackpadThroughBluez) {
    test::PrivateDbusDaemon daemon;
    if (!daemon.isRunning()) GTEST_SKIP() << "no private D-Bus daemon: " << daemon.failure().toStdString();
    test::FakeBluez bluez(daemon.address());
    ASSERT_TRUE(bluez.isServing());
    const QString trackpad = QStringLiteral("/org/bluez/hci0/dev_AA_BB_CC_DD_EE_01");
    bluez.addObject(trackpad, test::FakeBluez::device(QStringLiteral("Magic Trackpad"), true, false));
    bluez.addObject(QStringLiteral("/org/bluez/hci0/dev_AA_BB_CC_DD_EE_02"),
                    test::FakeBluez::device(QStringLiteral("Magic Mouse"), true, true));
    bluez.setConnectReply(test::FakeBluez::ConnectReply::never);
    {
        linux_platform::BluezBluetoothDevices bluetooth(
            QDBusConnection::connectToBus(daemon.address(), QStringLiteral("connector-test")));
        PairedTrackpadConnector connector(bluetooth);

        connector.connect();
        EXPECT_TRUE(connector.isConnecting()) << "the list is on its way";
        ASSERT_TRUE(QTest::qWaitFor([&] { return bluez.connectCalls().size() == 1; }, 10'000));
        EXPECT_EQ(bluez.connectCalls(), QStringList{trackpad});
        EXPECT_EQ(connector.pendingDevice(), trackpad);
        connector.connect();

        bluez.answerHeldConnects(true);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !connector.isConnecting(); }, 10'000));
        EXPECT_EQ(bluez.connectCalls().size(), 1) << "one attempt at a time";
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("connector-test"));
}

}  // namespace
}  // namespace glidra
