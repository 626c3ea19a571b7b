#include "platform/linux/QtSystemTray.h"

#include "platform/linux/DBusMenuExporter.h"
#include "platform/linux/StatusNotifierItem.h"
#include "support/PrivateSessionBus.h"
#include "support/SpawnedProcess.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <chrono>
#include <future>
#include <optional>
#include <utility>

namespace glidra::linux_platform {
namespace {

using namespace std::chrono_literals;

// What Qt would answer, as the test sets it, and how often it was asked.
struct Probe {
    bool tray = false;
    int asked = 0;
    QtSystemTray::Probe function() {
        return [this] {
            ++asked;
            return tray;
        };
    }
};

TEST(QtSystemTrayTest, ATrayThereAtStartNeedsNoWatching) {
    Probe probe;
    probe.tray = true;
    QtSystemTray tray(QDBusConnection(QStringLiteral("none")), probe.function());
    EXPECT_TRUE(tray.isAvailable());
    EXPECT_FALSE(tray.isPolling());
    EXPECT_EQ(probe.asked, 1);
}

// An xembed tray gives no sign: asking Qt again finds it, for a while.
TEST(QtSystemTrayTest, AskingAgainFindsALateTrayAndStopsAfterTheWatchPeriod) {
    Probe probe;
    QtSystemTray found(QDBusConnection(QStringLiteral("none")), probe.function(), TrayWatch{10ms, 10min});
    QSignalSpy came(&found, &SystemTray::becameAvailable);
    EXPECT_FALSE(found.isAvailable());
    EXPECT_TRUE(found.isPolling());
    probe.tray = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return came.count() == 1; }, 10000));
    EXPECT_TRUE(found.isAvailable());
    EXPECT_FALSE(found.isPolling());

    // Five asks in the period (50 ms at 10 ms), after the two at start.
    Probe never;
    QtSystemTray none(QDBusConnection(QStringLiteral("none")), never.function(), TrayWatch{10ms, 50ms});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !none.isPolling(); }, 10000));
    EXPECT_EQ(never.asked, 2 + 5);
    EXPECT_FALSE(none.isAvailable());
}

// The panel's side of the StatusNotifier protocol, read with GLib's own
// D-Bus client (gdbus), as the panels of GNOME and others read it. The item
// answers from this process's event loop, which runs while gdbus waits.
class Panel {
public:
    explicit Panel(const test::PrivateSessionBus& bus) : address_(bus.address().toUtf8()) {}

    // A call's answer as GLib prints it; nothing when the call failed.
    std::optional<QString> call(const QString& service, const QString& path, const QString& method,
                                const QStringList& arguments = {}) const {
        QList<QByteArray> argv{"call",          "--address",   address_,   "--dest",       service.toUtf8(),
                               "--object-path", path.toUtf8(), "--method", method.toUtf8()};
        for (const QString& argument : arguments) argv.append(argument.toUtf8());
        auto running = std::async(std::launch::async, [argv] { return test::runToEnd("gdbus", argv, {}, 10000); });
        // runToEnd ends gdbus within its own bound.
        if (!QTest::qWaitFor([&] { return running.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                             15000)) {
            return std::nullopt;
        }
        const auto finished = running.get();
        if (!finished || finished->exitCode != 0) {
            lastError = method + QStringLiteral(": ") +
                        (finished ? QString::fromUtf8(finished->log) : QStringLiteral("no answer"));
            return std::nullopt;
        }
        return QString::fromUtf8(finished->output).trimmed();
    }
    std::optional<QString> property(const QString& service, const QString& path, const QString& interface,
                                    const QString& name) const {
        return call(service, path, QStringLiteral("org.freedesktop.DBus.Properties.Get"), {interface, name});
    }
    std::optional<QString> watcherItems() const {
        return property(QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
                        QStringLiteral("org.kde.StatusNotifierWatcher"),
                        QStringLiteral("RegisteredStatusNotifierItems"));
    }

    // Why the last call that failed did.
    mutable QString lastError;

private:
    QByteArray address_;
};

// A StatusNotifier watcher of the test's own: the standalone one Debian
// ships, as a panel starts it.
struct Watcher {
    explicit Watcher(const test::PrivateSessionBus& bus) : bus_(bus) {}
    bool start() {
        return process.start("status-notifier-watcher", {},
                             test::testEnvironment({"DBUS_SESSION_BUS_ADDRESS=" + bus_.address().toUtf8()}));
    }
    test::SpawnedProcess process;
    const test::PrivateSessionBus& bus_;
};

// Qt decides about StatusNotifier hosts once per process; a panel's watcher
// and host that come after the program get the program's own item.
TEST(QtSystemTrayTest, AWatcherAndHostThatComeLaterGetTheProgramsOwnItemWithItsMenu) {
    for (const char* program : {"status-notifier-watcher", "gdbus"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
            GTEST_SKIP() << program
                         << " is not installed (Debian packages haskell-status-notifier-item-utils, "
                            "libglib2.0-bin; scripts/test installs them)";
        }
    }
    test::PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "no private session bus: " << bus.failure().toStdString();
    Probe probe;
    QtSystemTray tray(bus.connect(QStringLiteral("glidra-tray")), probe.function(), TrayWatch{1h, 1h});
    QSignalSpy came(&tray, &SystemTray::becameAvailable);
    ASSERT_FALSE(tray.isAvailable());

    Watcher watcher(bus);
    ASSERT_TRUE(watcher.start());
    const Panel panel(bus);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.watcherItems().has_value(); }, 10000)) << "no watcher";
    // A watcher without a host shows nothing: no tray yet.
    QDBusConnection host = bus.connect(QStringLiteral("glidra-panel-host"));
    ASSERT_TRUE(host.registerService(QStringLiteral("org.kde.StatusNotifierHost-4242")));
    EXPECT_TRUE(panel.call(QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
                           QStringLiteral("org.kde.StatusNotifierWatcher.RegisterStatusNotifierHost"),
                           {QStringLiteral("org.kde.StatusNotifierHost-4242")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return came.count() == 1; }, 10000));
    EXPECT_TRUE(tray.isAvailable());

    QMenu menu;
    QAction* open = menu.addAction(QStringLiteral("打开设置"));
    QAction* hidden = menu.addAction(QStringLiteral("解锁键盘"));
    hidden->setVisible(false);
    menu.addSeparator();
    QAction* quit = menu.addAction(QStringLiteral("退出 Glidra"));
    QSignalSpy quitChosen(quit, &QAction::triggered);
    QImage image(22, 18, QImage::Format_ARGB32);
    image.fill(QColor(255, 59, 48));
    tray.showIcon(QIcon(QPixmap::fromImage(image)), QStringLiteral("Glidra"), &menu);
    ASSERT_TRUE(tray.isShowingIcon());
    const StatusNotifierItem* item = tray.statusNotifierItem();
    ASSERT_NE(item, nullptr);
    const QString service = item->serviceName();
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.watcherItems().value_or(QString()).contains(service); }, 10000))
        << panel.watcherItems().value_or(QStringLiteral("(none)")).toStdString();

    const QString itemPath = QStringLiteral("/StatusNotifierItem");
    const QString sni = QStringLiteral("org.kde.StatusNotifierItem");
    EXPECT_EQ(panel.property(service, itemPath, sni, QStringLiteral("ItemIsMenu")), QStringLiteral("(<true>,)"));
    EXPECT_EQ(panel.property(service, itemPath, sni, QStringLiteral("Menu")),
              QStringLiteral("(<objectpath '/MenuBar'>,)"));
    EXPECT_EQ(panel.property(service, itemPath, sni, QStringLiteral("Status")), QStringLiteral("(<'Active'>,)"));
    EXPECT_EQ(panel.property(service, itemPath, sni, QStringLiteral("Title")), QStringLiteral("(<'Glidra'>,)"));
    const QString pixmaps = panel.property(service, itemPath, sni, QStringLiteral("IconPixmap")).value_or(QString());
    // The 22 by 18 image at its own size among them, red in ARGB order.
    EXPECT_TRUE(pixmaps.contains(QStringLiteral("(22, 18, [0xff, 0xff, 0x3b, 0x30,")))
        << pixmaps.left(200).toStdString();

    const std::optional<QString> layout =
        panel.call(service, QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu.GetLayout"),
                   {QStringLiteral("0"), QStringLiteral("int32 -1"), QStringLiteral("@as []")});
    ASSERT_TRUE(layout.has_value()) << panel.lastError.toStdString();
    const DBusMenuExporter& exporter = item->menuExporter();
    for (const auto& [action, expected] :
         {std::pair{open, QStringLiteral("{'label': <'打开设置'>}")},
          std::pair{hidden, QStringLiteral("{'enabled': <false>, 'label': <'解锁键盘'>, 'visible': <false>}")},
          std::pair{quit, QStringLiteral("{'label': <'退出 Glidra'>}")}}) {
        EXPECT_TRUE(layout->contains(QStringLiteral("(%1, %2, @av [])").arg(exporter.idOf(action)).arg(expected)))
            << expected.toStdString() << " in " << layout->toStdString();
    }
    EXPECT_TRUE(layout->contains(QStringLiteral("'type': <'separator'>"))) << layout->toStdString();

    // A change to the menu is a new layout for the panel to fetch.
    const uint revision = exporter.revision();
    hidden->setVisible(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return exporter.revision() == revision + 1; }, 10000));

    // The panel's click runs the entry.
    EXPECT_TRUE(panel.call(
        service, QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu.Event"),
        {QString::number(exporter.idOf(quit)), QStringLiteral("clicked"), QStringLiteral("<0>"), QStringLiteral("0")}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return quitChosen.count() == 1; }, 10000));

    // A panel that restarts brings a new watcher: the item registers again.
    ASSERT_TRUE(watcher.process.stop());
    Watcher again(bus);
    ASSERT_TRUE(again.start());
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.watcherItems().value_or(QString()).contains(service); }, 10000))
        << panel.watcherItems().value_or(QStringLiteral("(none)")).toStdString();

    tray.hideIcon();
    EXPECT_FALSE(tray.isShowingIcon());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !panel.watcherItems().value_or(service).contains(service); }, 10000))
        << "the watcher drops an item whose name went";
}

// A watcher that drops an item it took, as GNOME's AppIndicator does when its
// first reading of the item's properties fails.
class DroppingWatcher final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")

public:
    int registrations = 0;

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString&) { ++registrations; }

Q_SIGNALS:
    void StatusNotifierItemUnregistered(const QString& item);
};

TEST(StatusNotifierItemTest, AnItemTheWatcherDropsWhileTheProgramRunsIsRegisteredAgain) {
    test::PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "no private session bus: " << bus.failure().toStdString();
    QDBusConnection panel = bus.connect(QStringLiteral("glidra-dropping-watcher"));
    DroppingWatcher watcher;
    ASSERT_TRUE(panel.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                     QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
    ASSERT_TRUE(panel.registerService(QString::fromLatin1(StatusNotifierItem::kWatcherService)));

    QMenu menu;
    StatusNotifierItem item(bus.connect(QStringLiteral("glidra-tray")), QStringLiteral("glidra"),
                            QStringLiteral("Glidra"), &menu, nullptr);
    ASSERT_TRUE(item.start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return watcher.registrations == 1 && item.isRegistered(); }, 5000));

    // Another program's item going changes nothing.
    Q_EMIT watcher.StatusNotifierItemUnregistered(QStringLiteral("org.kde.StatusNotifierItem-1-1"));
    QTest::qWait(500);
    EXPECT_EQ(watcher.registrations, 1);

    // Ours, by its name or by its name and path, as watchers name it.
    for (const QString& named : {item.serviceName(), item.serviceName() + QStringLiteral("/StatusNotifierItem")}) {
        const int before = watcher.registrations;
        Q_EMIT watcher.StatusNotifierItemUnregistered(named);
        EXPECT_TRUE(QTest::qWaitFor([&] { return watcher.registrations == before + 1 && item.isRegistered(); }, 5000))
            << named.toStdString();
    }
}

}  // namespace
}  // namespace glidra::linux_platform

#include "QtSystemTrayTest.moc"
