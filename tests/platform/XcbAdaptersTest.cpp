// The workspace and window adapters against a real X server of the test's
// own, with a small window manager of ours on a thread of its own: it answers
// the EWMH requests as a window manager does and records them. Skipped where
// Xvfb cannot run.

#include "platform/linux/EwmhProperties.h"
#include "platform/linux/EwmhWindowControl.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/XcbConnection.h"
#include "support/PrivateXServer.h"
#include "support/QtPrinters.h"
#include "support/TaskResult.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include <poll.h>
#include <xcb/xcb.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace glidra {
namespace {

using linux_platform::EwmhWindowControl;
using linux_platform::LinuxWorkspace;
using linux_platform::XcbConnection;
namespace ewmh = linux_platform::ewmh;

std::uint32_t internAtom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(name)), name), nullptr);
    const std::uint32_t atom = reply ? reply->atom : 0;
    std::free(reply);
    return atom;
}

xcb_window_t rootOf(xcb_connection_t* connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

// Returns once the server has carried out everything sent before: requests
// of different connections are not ordered otherwise.
void sync(xcb_connection_t* connection) {
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

// Window manager requests as received.
struct Request {
    std::uint32_t type;
    std::uint32_t window;
    std::array<std::uint32_t, 5> data;
};

// Takes the root window's redirection, carries out moves and resizes,
// activations and state changes, and records every client message.
class FakeWindowManager {
public:
    explicit FakeWindowManager(const QByteArray& display) : connection_(xcb_connect(display.constData(), nullptr)) {
        root_ = rootOf(connection_);
        moveResize_ = internAtom(connection_, "_NET_MOVERESIZE_WINDOW");
        active_ = internAtom(connection_, "_NET_ACTIVE_WINDOW");
        state_ = internAtom(connection_, "_NET_WM_STATE");
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
        thread_ = std::thread([this] { run(); });
    }
    ~FakeWindowManager() {
        stop_ = true;
        thread_.join();
        xcb_disconnect(connection_);
    }

    std::vector<Request> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    // Waits for the request and for the window manager to have carried it
    // out.
    bool waitForRequests(std::size_t count) {
        return QTest::qWaitFor([&] { return requests().size() >= count; }, 10'000);
    }

private:
    void run() {
        pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
        while (!stop_) {
            ::poll(&descriptor, 1, 20);
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                    handle(*reinterpret_cast<xcb_client_message_event_t*>(event));
                }
                std::free(event);
            }
        }
    }

    void handle(const xcb_client_message_event_t& message) {
        Request request{message.type, message.window, {}};
        for (int i = 0; i < 5; ++i) request.data[std::size_t(i)] = message.data.data32[i];
        if (message.type == moveResize_) {
            const std::uint32_t flags = request.data[0];
            std::uint16_t mask = 0;
            std::vector<std::uint32_t> values;
            if (flags & (1u << 8)) mask |= XCB_CONFIG_WINDOW_X, values.push_back(request.data[1]);
            if (flags & (1u << 9)) mask |= XCB_CONFIG_WINDOW_Y, values.push_back(request.data[2]);
            if (flags & (1u << 10)) mask |= XCB_CONFIG_WINDOW_WIDTH, values.push_back(request.data[3]);
            if (flags & (1u << 11)) mask |= XCB_CONFIG_WINDOW_HEIGHT, values.push_back(request.data[4]);
            xcb_configure_window(connection_, message.window, mask, values.data());
        } else if (message.type == active_) {
            xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, root_, active_, XCB_ATOM_WINDOW, 32, 1,
                                &message.window);
        } else if (message.type == state_ && request.data[0] == 0) {
            xcb_delete_property(connection_, message.window, state_);
        }
        // Carried out before it is reported.
        sync(connection_);
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    std::uint32_t moveResize_ = 0;
    std::uint32_t active_ = 0;
    std::uint32_t state_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<Request> requests_;
    std::thread thread_;
};

class XcbAdaptersTest : public ::testing::Test {
protected:
    test::PrivateXServer server;
    xcb_connection_t* client = nullptr;
    xcb_window_t root = 0;

    void SetUp() override {
        if (!server.isRunning()) GTEST_SKIP() << "no private X server: " << server.failure().toStdString();
        client = xcb_connect(server.display().toUtf8().constData(), nullptr);
        ASSERT_EQ(xcb_connection_has_error(client), 0);
        root = rootOf(client);
    }
    void TearDown() override {
        if (client) xcb_disconnect(client);
    }

    void setProperty(xcb_window_t window, const char* name, std::uint32_t type, std::vector<std::uint32_t> values) {
        xcb_change_property(client, XCB_PROP_MODE_REPLACE, window, internAtom(client, name), type, 32,
                            std::uint32_t(values.size()), values.data());
        sync(client);
    }
    void setAtoms(xcb_window_t window, const char* name, std::initializer_list<const char*> atoms) {
        std::vector<std::uint32_t> values;
        for (const char* atom : atoms) values.push_back(internAtom(client, atom));
        setProperty(window, name, XCB_ATOM_ATOM, values);
    }

    // A client window of the process with the given class names.
    xcb_window_t window(std::optional<std::uint32_t> pid, const QByteArray& wmClass,
                        QRect geometry = {100, 130, 800, 600}) {
        const xcb_window_t id = xcb_generate_id(client);
        xcb_create_window(client, XCB_COPY_FROM_PARENT, id, root, std::int16_t(geometry.x()),
                          std::int16_t(geometry.y()), std::uint16_t(geometry.width()), std::uint16_t(geometry.height()),
                          0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        if (pid) setProperty(id, "_NET_WM_PID", XCB_ATOM_CARDINAL, {*pid});
        xcb_change_property(client, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            std::uint32_t(wmClass.size()), wmClass.constData());
        sync(client);
        return id;
    }
    void activate(xcb_window_t window) { setProperty(root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, {window}); }

    std::unique_ptr<XcbConnection> connection() { return std::make_unique<XcbConnection>(server.display().toUtf8()); }
};

const std::uint32_t kOwnPid = std::uint32_t(QCoreApplication::applicationPid());

TEST_F(XcbAdaptersTest, FollowsTheActiveWindowAndTellsNoApplicationFromAnUnknownOne) {
    const xcb_window_t editor = window(kOwnPid, QByteArray("glidra-test\0Glidra-test\0", 24));
    const xcb_window_t other = window(4242, QByteArray("other\0Other\0", 12));
    const xcb_window_t anonymous = window(std::nullopt, QByteArray("anon\0Anon\0", 10));
    activate(editor);

    LinuxWorkspace workspace(connection(), false);
    ASSERT_EQ(workspace.frontmostApplication().state, FrontApplication::State::known);
    EXPECT_EQ(workspace.frontmostApplication().application->processIdentifier, std::int32_t(kOwnPid));
    EXPECT_EQ(workspace.frontmostApplication().application->localizedName, QStringLiteral("Glidra-test"));

    QSignalSpy activated(&workspace, &Workspace::applicationActivated);
    activate(other);
    ASSERT_TRUE(QTest::qWaitFor([&] { return activated.count() == 1; }, 10'000));
    EXPECT_EQ(activated.at(0).at(0).value<RunningApplication>().processIdentifier, 4242);
    EXPECT_EQ(workspace.processIdentifier(), 4242) << "answered from what the server reported";

    activate(anonymous);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return workspace.frontmostApplication() == FrontApplication::unknown(); }, 10'000));
    activate(XCB_NONE);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return workspace.frontmostApplication() == FrontApplication::nothing(); }, 10'000));
    EXPECT_EQ(activated.count(), 1) << "only an application's activation is reported";

    // On Wayland, no active X window means a Wayland window has the focus.
    LinuxWorkspace onWayland(connection(), true);
    EXPECT_EQ(onWayland.frontmostApplication(), FrontApplication::unknown());
}

TEST_F(XcbAdaptersTest, ListsApplicationsByProcessAndActivatesOrHidesTheirWindows) {
    FakeWindowManager manager(server.display().toUtf8());
    const xcb_window_t editor = window(kOwnPid, QByteArray("glidra-test\0Glidra-test\0", 24));
    const xcb_window_t browser = window(4242, QByteArray("web\0Web\0", 8));
    const xcb_window_t browserTools = window(4242, QByteArray("web\0Web\0", 8));
    setAtoms(browserTools, "_NET_WM_WINDOW_TYPE", {"_NET_WM_WINDOW_TYPE_UTILITY"});
    const xcb_window_t dock = window(5000, QByteArray("dock\0Dock\0", 10));
    setAtoms(dock, "_NET_WM_WINDOW_TYPE", {"_NET_WM_WINDOW_TYPE_DOCK"});
    setProperty(root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {editor, browserTools, browser, dock});
    setProperty(root, "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW, {browser, dock, editor, browserTools});
    activate(editor);

    LinuxWorkspace workspace(connection(), false);
    const std::vector<RunningApplication> running = workspace.runningApplications();
    ASSERT_EQ(running.size(), 3u);
    EXPECT_EQ(running[0].processIdentifier, std::int32_t(kOwnPid));
    EXPECT_EQ(running[1].processIdentifier, 4242);
    EXPECT_EQ(running[1].activationPolicy, ActivationPolicy::regular) << "one ordinary window makes it regular";
    EXPECT_EQ(running[2].activationPolicy, ActivationPolicy::accessory);

    QSignalSpy activated(&workspace, &Workspace::applicationActivated);
    EXPECT_TRUE(workspace.activate(4242));
    ASSERT_TRUE(manager.waitForRequests(1));
    const std::uint32_t activeAtom = internAtom(client, "_NET_ACTIVE_WINDOW");
    EXPECT_EQ(manager.requests()[0].type, activeAtom);
    EXPECT_EQ(manager.requests()[0].window, browser) << "its ordinary window, not its tool window";
    EXPECT_EQ(manager.requests()[0].data[0], ewmh::kSourcePager);
    ASSERT_TRUE(QTest::qWaitFor([&] { return activated.count() == 1; }, 10'000));

    EXPECT_TRUE(workspace.hide(std::int32_t(kOwnPid)));
    ASSERT_TRUE(manager.waitForRequests(2));
    EXPECT_EQ(manager.requests()[1].type, internAtom(client, "WM_CHANGE_STATE"));
    EXPECT_EQ(manager.requests()[1].window, editor);
    EXPECT_EQ(manager.requests()[1].data[0], 3u) << "iconic";
    EXPECT_FALSE(workspace.activate(7777)) << "no such process";
}

TEST_F(XcbAdaptersTest, MovesResizesAndClosesTheActiveWindowThroughTheWindowManager) {
    FakeWindowManager manager(server.display().toUtf8());
    const xcb_window_t editor = window(kOwnPid, QByteArray("glidra-test\0Glidra-test\0", 24), {100, 130, 800, 600});
    setProperty(editor, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL, {0, 0, 30, 0});
    activate(editor);

    EwmhWindowControl windows(connection());
    const std::optional<WindowControl::WindowId> focused = test::awaited(windows.focusedWindow());
    ASSERT_EQ(focused, WindowControl::WindowId(editor));
    EXPECT_EQ(test::awaited(windows.frame(*focused)), QRectF(100, 100, 800, 630)) << "with the title bar";
    EXPECT_FALSE(test::awaited(windows.isFullScreen(*focused)));

    EXPECT_TRUE(test::awaited(windows.setSize(*focused, QSizeF(720, 870))));
    ASSERT_TRUE(manager.waitForRequests(1));
    EXPECT_TRUE(test::awaited(windows.setPosition(*focused, QPointF(0, 30))));
    ASSERT_TRUE(manager.waitForRequests(2));
    EXPECT_EQ(test::awaited(windows.frame(*focused)), QRectF(0, 30, 720, 870));
    EXPECT_EQ(manager.requests()[1].data[0], 10u | 0x2000u | 0x300u) << "static gravity, from a pager, x and y";

    // A maximised window is let out of that state first.
    setAtoms(editor, "_NET_WM_STATE", {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"});
    EXPECT_TRUE(test::awaited(windows.setPosition(*focused, QPointF(10, 40))));
    ASSERT_TRUE(manager.waitForRequests(4));
    EXPECT_EQ(manager.requests()[2].type, internAtom(client, "_NET_WM_STATE"));
    EXPECT_EQ(manager.requests()[2].data[0], 0u) << "removed";
    EXPECT_EQ(test::awaited(windows.frame(*focused)), QRectF(10, 40, 720, 870));

    setAtoms(editor, "_NET_WM_STATE", {"_NET_WM_STATE_FULLSCREEN"});
    EXPECT_TRUE(test::awaited(windows.isFullScreen(*focused)));

    setAtoms(editor, "_NET_WM_ALLOWED_ACTIONS", {"_NET_WM_ACTION_MOVE"});
    EXPECT_FALSE(test::awaited(windows.close(*focused))) << "closing is not among its actions";
    setAtoms(editor, "_NET_WM_ALLOWED_ACTIONS", {"_NET_WM_ACTION_MOVE", "_NET_WM_ACTION_CLOSE"});
    EXPECT_TRUE(test::awaited(windows.close(*focused)));
    ASSERT_TRUE(manager.waitForRequests(5));
    EXPECT_EQ(manager.requests()[4].type, internAtom(client, "_NET_CLOSE_WINDOW"));

    EXPECT_FALSE(test::awaited(windows.minimize(*focused))) << "minimising is not among its actions";
    setAtoms(editor, "_NET_WM_ALLOWED_ACTIONS", {"_NET_WM_ACTION_MINIMIZE"});
    EXPECT_TRUE(test::awaited(windows.minimize(*focused)));
    ASSERT_TRUE(manager.waitForRequests(6));
    EXPECT_EQ(manager.requests()[5].type, internAtom(client, "WM_CHANGE_STATE"));
    EXPECT_EQ(manager.requests()[5].data[0], 3u) << "iconic";
}

// Restores an environment variable as the test found it.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedVariable() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST_F(XcbAdaptersTest, OnAWaylandSessionXWaylandWindowsAreLaidOutAndANativeOneIsNotGuessed) {
    FakeWindowManager manager(server.display().toUtf8());
    const xcb_window_t editor = window(kOwnPid, QByteArray("glidra-test\0Glidra-test\0", 24), {100, 100, 800, 600});
    activate(editor);
    // As the program starts on a Wayland desktop: the XWayland display
    // beside the compositor's own.
    const ScopedVariable display("DISPLAY", server.display().toUtf8());
    const ScopedVariable wayland("WAYLAND_DISPLAY", "wayland-0");
    const ScopedVariable session("XDG_SESSION_TYPE", "wayland");
    EwmhWindowControl windows;
    ASSERT_EQ(test::awaited(windows.focusedWindow()), WindowControl::WindowId(editor));
    EXPECT_TRUE(test::awaited(windows.setPosition(editor, QPointF(0, 30))));
    ASSERT_TRUE(manager.waitForRequests(1));
    EXPECT_EQ(test::awaited(windows.frame(editor)), QRectF(0, 30, 800, 600));

    // A native Wayland window in front leaves no X window active.
    activate(XCB_NONE);
    EXPECT_EQ(test::awaited(windows.focusedWindow()), std::nullopt);
}

}  // namespace
}  // namespace glidra
