#include "platform/ListedDesktopEntries.h"
#include "platform/PrivateBusTest.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/X11DesktopCompositing.h"
#include "platform/linux/X11DesktopViews.h"
#include "platform/linux/XcbConnection.h"
#include "support/FakeDesktopServices.h"
#include "support/PrivateXServer.h"
#include "support/QtPrinters.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <xcb/xcb.h>

#include <cstring>

namespace glidra {
namespace {

using linux_platform::DesktopEntryMatcher;
using linux_platform::LinuxWorkspace;
using linux_platform::X11DesktopCompositing;
using linux_platform::X11DesktopViews;
using linux_platform::X11Root;
using Outcome = DesktopViews::Outcome;

// Two clients of a private X server: the window manager of the test, which
// publishes the desktop's state and receives the requests, and the
// program's own connection.
class X11DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.isRunning()) GTEST_SKIP() << "no private X server: " << server.failure().toStdString();
        const QByteArray display = server.display().toUtf8();
        manager = xcb_connect(display.constData(), nullptr);
        program = xcb_connect(display.constData(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(manager));
        ASSERT_FALSE(xcb_connection_has_error(program));
        root = xcb_setup_roots_iterator(xcb_get_setup(manager)).data->root;
    }
    void TearDown() override {
        if (manager) xcb_disconnect(manager);
        if (program) xcb_disconnect(program);
    }

    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(manager, xcb_intern_atom(manager, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t value = reply->atom;
        std::free(reply);
        return value;
    }
    void setWords(xcb_window_t window, const char* property, const char* type, std::vector<std::uint32_t> words) {
        xcb_change_property(manager, XCB_PROP_MODE_REPLACE, window, atom(property), atom(type), 32,
                            std::uint32_t(words.size()), words.data());
        roundTrip(manager);
    }
    void setBytes(xcb_window_t window, const char* property, const char* type, const QByteArray& bytes) {
        xcb_change_property(manager, XCB_PROP_MODE_REPLACE, window, atom(property), atom(type), 8,
                            std::uint32_t(bytes.size()), bytes.constData());
        roundTrip(manager);
    }
    xcb_window_t newWindow() {
        const xcb_window_t window = xcb_generate_id(manager);
        xcb_create_window(manager, XCB_COPY_FROM_PARENT, window, root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        return window;
    }
    static void roundTrip(xcb_connection_t* connection) {
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    // The _NET_SHOWING_DESKTOP requests the window manager received, by value.
    std::vector<std::uint32_t> showingDesktopRequests() {
        roundTrip(manager);
        std::vector<std::uint32_t> requests;
        while (xcb_generic_event_t* event = xcb_poll_for_event(manager)) {
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                if (message->type == atom("_NET_SHOWING_DESKTOP")) requests.push_back(message->data.data32[0]);
            }
            std::free(event);
        }
        return requests;
    }

    test::PrivateXServer server;
    xcb_connection_t* manager = nullptr;
    xcb_connection_t* program = nullptr;
    xcb_window_t root = 0;
};

TEST_F(X11DesktopTest, TheFrontApplicationIsTheActiveWindowsNamedByAnInstalledEntry) {
    std::vector<DesktopEntryMatcher::Entry> installed;
    for (const char* id : {"org.gnome.TextEditor.desktop", "firefox-esr.desktop", "Gimp.desktop"}) {
        installed.push_back({QString::fromLatin1(id), QStringLiteral("/usr/share/applications/") + QLatin1String(id),
                             QString(), QString::fromLatin1(id)});
    }
    LinuxWorkspace front(std::make_unique<linux_platform::XcbConnection>(server.display().toUtf8()), false,
                         QDBusConnection(QStringLiteral("never-connected")), nullptr, test::entriesOf(installed));
    QSignalSpy activated(&front, &Workspace::applicationActivated);
    EXPECT_EQ(front.bundleIdentifier(), std::nullopt) << "no window is active";
    EXPECT_EQ(front.processIdentifier(), std::nullopt);

    struct Case {
        const char* name;
        QByteArray gtkApplicationId;
        QByteArray windowClass;  // instance, class
        std::optional<QString> identifier;
    };
    const Case cases[] = {
        {"the GTK application id first", "org.gnome.TextEditor", QByteArray("firefox-esr\0Firefox-esr\0", 24),
         QStringLiteral("org.gnome.TextEditor.desktop")},
        {"the class, lower case", "", QByteArray("Navigator\0Firefox-esr\0", 22),
         QStringLiteral("firefox-esr.desktop")},
        {"the class as it is", "", QByteArray("gimp-2.10\0Gimp\0", 15), QStringLiteral("Gimp.desktop")},
        {"no installed entry", "org.example.Gone", QByteArray("xterm\0XTerm\0", 12), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const xcb_window_t window = newWindow();
        if (!c.gtkApplicationId.isEmpty()) setBytes(window, "_GTK_APPLICATION_ID", "UTF8_STRING", c.gtkApplicationId);
        setBytes(window, "WM_CLASS", "STRING", c.windowClass);
        setWords(window, "_NET_WM_PID", "CARDINAL", {4242});
        const qsizetype before = activated.count();
        setWords(root, "_NET_ACTIVE_WINDOW", "WINDOW", {window});
        ASSERT_TRUE(QTest::qWaitFor([&] { return activated.count() > before; }, 10'000));
        EXPECT_EQ(front.bundleIdentifier(), c.identifier);
        EXPECT_EQ(front.processIdentifier(), 4242);
    }

    const xcb_window_t withoutProcess = newWindow();
    setWords(root, "_NET_ACTIVE_WINDOW", "WINDOW", {withoutProcess});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !front.processIdentifier(); }, 10'000));
    EXPECT_EQ(front.bundleIdentifier(), std::nullopt);
}

TEST_F(X11DesktopTest, ACompositorIsWhoeverOwnsTheScreensCompositingSelection) {
    const X11DesktopCompositing compositing(X11Root(program, root), false);
    EXPECT_FALSE(compositing.isCompositing()) << "no compositor has ever run";

    const xcb_window_t compositor = newWindow();
    xcb_set_selection_owner(manager, compositor, atom("_NET_WM_CM_S0"), XCB_CURRENT_TIME);
    roundTrip(manager);
    EXPECT_TRUE(compositing.isCompositing());
    xcb_destroy_window(manager, compositor);
    roundTrip(manager);
    EXPECT_FALSE(compositing.isCompositing()) << "the compositor went";

    // Another screen's compositor composites only that screen.
    const xcb_window_t other = newWindow();
    xcb_set_selection_owner(manager, other, atom("_NET_WM_CM_S1"), XCB_CURRENT_TIME);
    roundTrip(manager);
    EXPECT_FALSE(compositing.isCompositing());

    EXPECT_TRUE(X11DesktopCompositing(X11Root(program, root), true).isCompositing()) << "Wayland composites";
    EXPECT_TRUE(X11DesktopCompositing(X11Root(nullptr, 0), false).isCompositing()) << "no display to ask";
}

TEST_F(X11DesktopTest, TheBareDesktopIsAskedOfAWindowManagerThatSupportsItAndAskedAgainToGoBack) {
    const uint32_t redirect = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(manager, root, XCB_CW_EVENT_MASK, &redirect);
    X11DesktopViews views(X11Root(program, root), QDBusConnection(QStringLiteral("never-connected")));

    EXPECT_EQ(views.showDesktop(), Outcome::unavailable) << "no window manager says it supports the request";
    setWords(root, "_NET_SUPPORTED", "ATOM", {atom("_NET_ACTIVE_WINDOW")});
    EXPECT_EQ(views.showDesktop(), Outcome::unavailable);
    EXPECT_TRUE(showingDesktopRequests().empty());

    setWords(root, "_NET_SUPPORTED", "ATOM", {atom("_NET_ACTIVE_WINDOW"), atom("_NET_SHOWING_DESKTOP")});
    EXPECT_EQ(views.showDesktop(), Outcome::shown);
    EXPECT_EQ(showingDesktopRequests(), std::vector<std::uint32_t>{1});
    setWords(root, "_NET_SHOWING_DESKTOP", "CARDINAL", {1});
    EXPECT_EQ(views.showDesktop(), Outcome::shown);
    EXPECT_EQ(showingDesktopRequests(), std::vector<std::uint32_t>{0});

    X11DesktopViews noDisplay(X11Root(nullptr, 0), QDBusConnection(QStringLiteral("never-connected")));
    EXPECT_EQ(noDisplay.showDesktop(), Outcome::unavailable);
    EXPECT_EQ(test::waitForResult(noDisplay.openOverview()), Outcome::unavailable);
}

struct GnomeOverviewTest : test::PrivateBusTest {};

TEST_F(GnomeOverviewTest, TheOverviewOpensThroughGnomeShellAndIsUnavailableWithoutIt) {
    X11DesktopViews withoutShell(X11Root(nullptr, 0), connectToBus(QStringLiteral("overview-absent")));
    EXPECT_EQ(test::waitForResult(withoutShell.openOverview()), Outcome::unavailable);

    test::FakeServiceHost host(connectToBus(QStringLiteral("overview-service")));
    auto shell = std::make_unique<test::FakeGnomeShell>();
    test::FakeGnomeShell* raw = shell.get();
    ASSERT_TRUE(host.serve(QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"), std::move(shell)));
    X11DesktopViews views(X11Root(nullptr, 0), connectToBus(QStringLiteral("overview-client")));
    EXPECT_EQ(test::waitForResult(views.openOverview()), Outcome::shown);
    EXPECT_TRUE(raw->overviewActive());
}

TEST_F(GnomeOverviewTest, AShellWithoutTheOverviewPropertyIsAFailure) {
    test::FakeServiceHost host(connectToBus(QStringLiteral("overview-old-service")));
    ASSERT_TRUE(host.serve(QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
                           std::make_unique<test::FakeScreenSaver>()));
    X11DesktopViews views(X11Root(nullptr, 0), connectToBus(QStringLiteral("overview-old-client")));
    EXPECT_EQ(test::waitForResult(views.openOverview()), Outcome::failed);
}

TEST_F(GnomeOverviewTest, OnKdeTheOverviewOpensThroughKWinsOwnShortcut) {
    test::FakeServiceHost host(connectToBus(QStringLiteral("kwin-service")));
    auto shortcuts = std::make_unique<test::FakeKWinShortcuts>(QStringList{"Expose", "Overview", "ShowDesktopGrid"});
    test::FakeKWinShortcuts* raw = shortcuts.get();
    ASSERT_TRUE(
        host.serve(QStringLiteral("org.kde.kglobalaccel"), QStringLiteral("/component/kwin"), std::move(shortcuts)));
    X11DesktopViews views(X11Root(nullptr, 0), connectToBus(QStringLiteral("kwin-client")));
    EXPECT_EQ(test::waitForResult(views.openOverview()), Outcome::shown);
    EXPECT_EQ(raw->invoked(), QStringList{QStringLiteral("Overview")});
}

TEST_F(GnomeOverviewTest, AKWinWithoutTheOverviewEffectHasNoOverview) {
    test::FakeServiceHost host(connectToBus(QStringLiteral("kwin-old-service")));
    auto shortcuts = std::make_unique<test::FakeKWinShortcuts>(QStringList{"Expose"});
    test::FakeKWinShortcuts* raw = shortcuts.get();
    ASSERT_TRUE(
        host.serve(QStringLiteral("org.kde.kglobalaccel"), QStringLiteral("/component/kwin"), std::move(shortcuts)));
    X11DesktopViews views(X11Root(nullptr, 0), connectToBus(QStringLiteral("kwin-old-client")));
    EXPECT_EQ(test::waitForResult(views.openOverview()), Outcome::unavailable);
    EXPECT_TRUE(raw->invoked().isEmpty());
}

}  // namespace
}  // namespace glidra
