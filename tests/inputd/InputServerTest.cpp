#include "inputd/InputServer.h"

#include "support/UmockdevInput.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <chrono>
#include <cstring>
#include <thread>

namespace glidra::inputd {
namespace {

using test::UmockdevInput;

// The real service on a socket of the test's, over mocked devices, with
// logind's and /proc's answers and the list of nodes from the test.
class InputServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Asked before the testbed is made: the probe's own testbed, gone,
        // would take the mock away from ours.
        if (!UmockdevInput::available()) GTEST_SKIP() << "umockdev's preload library is not loaded";
        input_ = std::make_unique<UmockdevInput>();
        ASSERT_TRUE(folder_.isValid());
        path_ = folder_.filePath("inputd.sock").toStdString();
        listen_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path_.c_str(), path_.size());
        ASSERT_EQ(::bind(listen_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(::listen(listen_, 4), 0);
        touchpad_ =
            input_->addDevice(UmockdevInput::touchpad("Mock Touchpad", 2), {"ID_INPUT=1", "ID_INPUT_TOUCHPAD=1"});
        keyboard_ = input_->addDevice(UmockdevInput::keyboard("Mock Keyboard"), {"ID_INPUT=1", "ID_INPUT_KEYBOARD=1"});
    }
    void TearDown() override {
        server_.reset();
        if (listen_ >= 0) ::close(listen_);
    }

    void startServer(std::string allowedExecutable, std::string seatFile = {}) {
        PeerFacts facts;
        facts.seatFile = std::move(seatFile);
        facts.activeSeatUser = [this] { return activeUser_; };
        facts.executableOf = [](pid_t pid) -> std::optional<std::string> {
            return pid == ::getpid() ? std::optional<std::string>("/test/this-program") : std::nullopt;
        };
        const InputNode nodes[] = {{touchpad_.toStdString(), InputNode::touchpad},
                                   {keyboard_.toStdString(), InputNode::keyboard}};
        server_ = std::make_unique<InputServer>(listen_, PeerPolicy(facts, std::move(allowedExecutable)), [nodes] {
            return std::vector<InputNode>(std::begin(nodes), std::end(nodes));
        });
    }

    int connectClient() {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path_.c_str(), path_.size());
        EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return fd;
    }

    // Turns the service until the client has a line, or gives up.
    Message nextLine(int client, MessageReader& reader) {
        Message message;
        for (int round = 0; round < 200; ++round) {
            if (reader.next(message)) return message;
            server_->runOnce(10);
            pollfd entry{client, POLLIN, 0};
            if (::poll(&entry, 1, 0) > 0 && !reader.fill()) break;
        }
        if (reader.next(message)) return message;
        return {"(nothing)", {}};
    }

    Message ask(int client, MessageReader& reader, const std::string& request) {
        EXPECT_TRUE(sendMessage(client, request));
        return nextLine(client, reader);
    }

    std::unique_ptr<UmockdevInput> input_;
    QTemporaryDir folder_;
    std::string path_;
    int listen_ = -1;
    QByteArray touchpad_;
    QByteArray keyboard_;
    std::optional<uid_t> activeUser_ = ::getuid();
    std::unique_ptr<InputServer> server_;
};

TEST_F(InputServerTest, HandsOverTheTouchpadButNeverAKeyboard) {
    startServer("/test/this-program");
    const int client = connectClient();
    MessageReader reader(client);
    EXPECT_EQ(ask(client, reader, "touchpads").text, "touchpad " + touchpad_.toStdString());
    EXPECT_EQ(nextLine(client, reader).text, "ok");

    Message opened = ask(client, reader, "open " + touchpad_.toStdString());
    ASSERT_EQ(opened.text, "ok");
    ASSERT_EQ(opened.fds.size(), 1u);
    const int pad = opened.fds[0];
    // Read-only, and the node the service opened: the frames come through it.
    EXPECT_EQ(::fcntl(pad, F_GETFL) & O_ACCMODE, O_RDONLY);
    ASSERT_TRUE(input_->write(touchpad_, {{0, EV_KEY, BTN_LEFT, 1}, {0, EV_SYN, SYN_REPORT, 0}}));
    input_event event{};
    pollfd entry{pad, POLLIN, 0};
    ASSERT_EQ(::poll(&entry, 1, 2000), 1);
    ASSERT_EQ(::read(pad, &event, sizeof event), ssize_t(sizeof event));
    EXPECT_EQ(event.code, BTN_LEFT);

    const Message refused = ask(client, reader, "open " + keyboard_.toStdString());
    EXPECT_EQ(refused.text, "error not a touchpad: " + keyboard_.toStdString());
    EXPECT_TRUE(refused.fds.empty());
    EXPECT_EQ(ask(client, reader, "open /dev/uinput").text, "error not a touchpad: /dev/uinput");
    EXPECT_EQ(ask(client, reader, "read /etc/shadow").text, "error unknown request");
    ::close(pad);
    ::close(client);
}

TEST_F(InputServerTest, TellsTheKeyboardsSummaryWithoutKeyCodes) {
    startServer("/test/this-program");
    const int client = connectClient();
    MessageReader reader(client);
    EXPECT_EQ(ask(client, reader, "keyboards watch").text, "ok");
    EXPECT_EQ(nextLine(client, reader).text, "modifiers 0");
    EXPECT_EQ(nextLine(client, reader).text, "capslock 0");
    ASSERT_TRUE(input_->write(keyboard_, {{0, EV_KEY, KEY_LEFTCTRL, 1},
                                          {0, EV_SYN, SYN_REPORT, 0},
                                          {0, EV_KEY, KEY_Q, 1},
                                          {0, EV_SYN, SYN_REPORT, 0},
                                          {0, EV_KEY, KEY_Q, 0},
                                          {0, EV_KEY, KEY_LEFTCTRL, 0},
                                          {0, EV_SYN, SYN_REPORT, 0}}));
    EXPECT_EQ(nextLine(client, reader).text, "modifiers 2");
    EXPECT_EQ(nextLine(client, reader).text, "press");
    EXPECT_EQ(nextLine(client, reader).text, "modifiers 0");
    // The keyboard lock: taken and given back on request.
    EXPECT_EQ(ask(client, reader, "keyboards grab").text, "ok");
    EXPECT_EQ(ask(client, reader, "keyboards release").text, "ok");
    ::close(client);
}

TEST_F(InputServerTest, RefusesAnotherProgramAndTellsItNothing) {
    startServer("/usr/bin/glidra");
    const int client = connectClient();
    MessageReader reader(client);
    const Message refused = nextLine(client, reader);
    EXPECT_EQ(refused.text.rfind("error refused: ", 0), 0u) << refused.text;
    EXPECT_EQ(server_->clientCount(), 0u);
    // The connection is closed: no keyboard summary ever comes.
    sendMessage(client, "keyboards watch");
    ASSERT_TRUE(input_->write(keyboard_, {{0, EV_KEY, KEY_A, 1}, {0, EV_SYN, SYN_REPORT, 0}}));
    EXPECT_EQ(nextLine(client, reader).text, "(nothing)");
    ::close(client);
}

TEST_F(InputServerTest, TakesEverythingBackWhenTheClientGoesOrTheSeatSwitches) {
    startServer("/test/this-program");
    for (const bool seatSwitch : {false, true}) {
        SCOPED_TRACE(seatSwitch ? "the seat switches to another user" : "the client is killed");
        const int client = connectClient();
        MessageReader reader(client);
        ASSERT_EQ(ask(client, reader, "keyboards grab").text, "ok");
        ASSERT_EQ(server_->clientCount(), 1u);
        if (seatSwitch) {
            activeUser_ = ::getuid() + 1;
            server_->runOnce(0);
            // The client hears its connection close.
            EXPECT_EQ(nextLine(client, reader).text, "(nothing)");
            activeUser_ = ::getuid();
        } else {
            ::close(client);
            for (int round = 0; round < 20 && server_->clientCount() != 0; ++round) server_->runOnce(10);
        }
        EXPECT_EQ(server_->clientCount(), 0u);
        if (seatSwitch) ::close(client);
    }
}

// Watching logind's seat file, the service looks at the sessions only when
// the file is replaced, as logind does at a user switch.
TEST_F(InputServerTest, ASeatSwitchIsSeenWhenTheSeatFileIsReplaced) {
    const QString seat = folder_.filePath("seat0");
    startServer("/test/this-program", seat.toStdString());
    const int client = connectClient();
    server_->runOnce(10);
    ASSERT_EQ(server_->clientCount(), 1u);
    activeUser_ = ::getuid() + 1;
    server_->runOnce(0);
    EXPECT_EQ(server_->clientCount(), 1u) << "looked without a change of the seat file";
    QFile replacement(folder_.filePath("seat0.tmp"));
    ASSERT_TRUE(replacement.open(QIODevice::WriteOnly));
    replacement.write("ACTIVE_UID=1\n");
    replacement.close();
    ASSERT_TRUE(QFile::rename(replacement.fileName(), seat));
    server_->runOnce(100);
    EXPECT_EQ(server_->clientCount(), 0u);
    ::close(client);
}

// The installed service knows the devices from udev alone.
TEST_F(InputServerTest, ListsTheTouchpadsAndKeyboardsUdevKnows) {
    const std::vector<InputNode> nodes = listInputNodes();
    const auto kindsOf = [&](const QByteArray& path) {
        for (const InputNode& node : nodes) {
            if (node.path == path.toStdString()) return node.kinds;
        }
        return 0u;
    };
    EXPECT_EQ(kindsOf(touchpad_), unsigned(InputNode::touchpad));
    EXPECT_EQ(kindsOf(keyboard_), unsigned(InputNode::keyboard));
}

// Started by its socket, the service goes when no client has come for a
// while, never while one is there.
TEST_F(InputServerTest, StopsOnlyWhenNoClientIsThere) {
    startServer("/test/this-program");
    const volatile bool stop = false;
    const int client = connectClient();
    server_->runOnce(10);
    ASSERT_EQ(server_->clientCount(), 1u);
    std::thread closer([client] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::close(client);
    });
    const auto start = std::chrono::steady_clock::now();
    server_->run(stop, 100);
    closer.join();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
    EXPECT_EQ(server_->clientCount(), 0u);
}

}  // namespace
}  // namespace glidra::inputd
