// The program as it ships: the glidra executable, composed by main.cpp over
// the Linux adapters, the real dispatcher and executors, on a desktop of the
// test's own (an X server with a window manager, a session bus with a screen
// saver, a sound server, a web browser) with touchpads mocked under umockdev.
// Recorded sessions are played on the pads; what the bound actions did is read
// back from the desktop, and what the window says from its accessibility tree,
// as a screen reader reads it.

#include "actions/ActionParameters.h"
#include "gestures/GestureRule.h"
#include "platform/evdev/EvemuReader.h"
#include "platform/linux/EwmhProperties.h"
#include "platform/linux/JsonFileUserDefaults.h"
#include "platform/linux/XcbConnection.h"
#include "settings/ControlSettings.h"
#include "support/FakeDesktopServices.h"
#include "support/PrivatePulseAudio.h"
#include "support/PrivateSessionBus.h"
#include "support/PrivateXServer.h"
#include "support/SpawnedProcess.h"
#include "support/UmockdevInput.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <linux/input.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <csignal>
#include <iostream>
#include <memory>
#include <set>

namespace glidra::test {
namespace {

// The program refuses root: as root the test runs it as nobody.
constexpr uid_t kNobody = 65534;
// An effect comes milliseconds after the gesture; this only bounds a failure.
constexpr int kEffectMs = 8000;
// What the window says when no touchpad can be read.
const QString kInputAccessMissing = QStringLiteral("部分动作需要输入设备权限");
const QByteArray kWebsite = "https://example.org/from-a-gesture";

const QStringList kTouchpad{QStringLiteral("ID_INPUT=1"), QStringLiteral("ID_INPUT_TOUCHPAD=1")};

evdev::Recording recording(const char* name) {
    const auto read = evdev::EvemuReader::readFile(std::string(GLIDRA_TEST_DATA_DIR "/recordings/") + name + ".events");
    EXPECT_TRUE(read.ok()) << name;
    return read.ok() ? read.recording() : evdev::Recording{};
}

GestureRule rule(GestureDescriptor::Kind kind, qint64 fingers, GestureAction action) {
    GestureRule made;
    made.gesture.kind = kind;
    made.gesture.fingers = fingers;
    made.action = action;
    return made;
}

bool writeFile(const QString& path, const QByteArray& content, QFile::Permissions permissions = {}) {
    if (!QDir().mkpath(QFileInfo(path).path())) return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size()) return false;
    file.close();
    return permissions == QFile::Permissions() || file.setPermissions(permissions);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One node of an accessibility tree: the bus name that serves it and its path.
struct AccessibleNode {
    QString service;
    QString path;
};

// Reads the program's windows as a screen reader does: the AT-SPI objects
// Qt publishes on the accessibility bus (here the session bus itself).
class AccessibleWindows {
public:
    explicit AccessibleWindows(QDBusConnection bus) : bus_(std::move(bus)) {}

    // The texts (accessible names) of every element on screen of the
    // program's process, once it has published its tree.
    std::optional<std::set<QString>> showingTexts(pid_t program) {
        const std::optional<QString> service = serviceOf(program);
        if (!service) return std::nullopt;
        std::set<QString> texts;
        collect({*service, QStringLiteral("/org/a11y/atspi/accessible/root")}, texts, 0);
        return texts;
    }

private:
    QDBusMessage call(const AccessibleNode& node, const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(node.service, node.path, interface, method);
        message.setArguments(arguments);
        return bus_.call(message, QDBus::Block, 3000);
    }

    std::vector<AccessibleNode> children(const AccessibleNode& node) {
        const QDBusMessage reply =
            call(node, QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("GetChildren"));
        std::vector<AccessibleNode> found;
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return found;
        const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            QString service;
            QDBusObjectPath path;
            list.beginStructure();
            list >> service >> path;
            list.endStructure();
            found.push_back({service, path.path()});
        }
        list.endArray();
        return found;
    }

    QString name(const AccessibleNode& node) {
        const QDBusMessage reply = call(node, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                        {QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("Name")});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
        return reply.arguments().constFirst().value<QDBusVariant>().variant().toString();
    }

    bool showing(const AccessibleNode& node) {
        const QDBusMessage reply = call(node, QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("GetState"));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
        const QDBusArgument words = reply.arguments().constFirst().value<QDBusArgument>();
        std::vector<uint> bits;
        words.beginArray();
        while (!words.atEnd()) {
            uint word = 0;
            words >> word;
            bits.push_back(word);
        }
        words.endArray();
        constexpr uint kShowing = 25;  // ATSPI_STATE_SHOWING
        return !bits.empty() && (bits.front() >> kShowing & 1u) != 0;
    }

    void collect(const AccessibleNode& node, std::set<QString>& texts, int depth) {
        if (depth > 40) return;
        const QString text = name(node);
        if (!text.isEmpty() && showing(node)) texts.insert(text);
        for (const AccessibleNode& child : children(node)) collect(child, texts, depth + 1);
    }

    // The connection of the program that serves a tree: the program holds
    // two (its session bus and its accessibility bus), both on this bus.
    std::optional<QString> serviceOf(pid_t program) {
        const QDBusMessage names = bus_.call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListNames")));
        for (const QString& name : names.arguments().value(0).toStringList()) {
            if (!name.startsWith(QLatin1Char(':'))) continue;
            QDBusMessage owner = QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixProcessID"));
            owner.setArguments({name});
            const QDBusMessage pid = bus_.call(owner);
            if (pid.arguments().value(0).toUInt() != uint(program)) continue;
            if (!children({name, QStringLiteral("/org/a11y/atspi/accessible/root")}).empty()) return name;
        }
        return std::nullopt;
    }

    QDBusConnection bus_;
};

// A desktop of the test's own and the program on it, as a user at the seat
// (nobody, when the test runs as root) with a home of their own.
class ComposedProgramTest : public ::testing::Test {
protected:
    // The desktop's sound server; GNOME's unless a test says.
    virtual SoundServer soundServer() const { return SoundServer::pipewire; }

    void SetUp() override {
        for (const char* program : {"Xvfb", "openbox", "dbus-daemon"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
                GTEST_SKIP() << program << " is not installed (scripts/test installs it)";
            }
        }
        if (const QString missing = PrivatePulseAudio::missing(soundServer()); !missing.isEmpty()) {
            GTEST_SKIP() << PrivatePulseAudio::nameOf(soundServer()) << " skipped: " << missing.toStdString();
        }
        if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) {
            GTEST_SKIP() << "setpriv is not installed (Debian package util-linux)";
        }
        preload_ = qgetenv("LD_PRELOAD");
        if (!preload_.contains("libumockdev-preload")) GTEST_SKIP() << "umockdev's preload library is not loaded";
        ASSERT_TRUE(folder_.isValid());
        ::chmod(QFile::encodeName(folder_.path()).constData(), 0755);

        // The services are no programs under test: they run without the
        // test's preloaded libraries.
        qunsetenv("LD_PRELOAD");
        startServices();
        qputenv("LD_PRELOAD", preload_);
        if (HasFatalFailure()) return;

        session_ = bus_->connect(QStringLiteral("glidra-live-test"));
        screenSaverHost_ = std::make_unique<FakeServiceHost>(bus_->connect(QStringLiteral("glidra-live-screensaver")));
        auto screenSaver = std::make_unique<FakeScreenSaver>();
        screenSaver_ = screenSaver.get();
        ASSERT_TRUE(screenSaverHost_->serve(QStringLiteral("org.freedesktop.ScreenSaver"),
                                            QStringLiteral("/org/freedesktop/ScreenSaver"), std::move(screenSaver)));
        // Screen readers are on: the program publishes its windows on the
        // session bus.
        accessibilityHost_ = std::make_unique<FakeServiceHost>(bus_->connect(QStringLiteral("glidra-live-a11y")));
        ASSERT_TRUE(accessibilityHost_->serve(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                              std::make_unique<FakeAccessibilityBus>(bus_->address())));
        devices_ = std::make_unique<UmockdevInput>();
        uinput_ = devices_->addUinput();
        ASSERT_FALSE(uinput_.isEmpty());
        ASSERT_TRUE(devices_->setNodeMode(uinput_, 0666));
        prepareHome();
    }

    void TearDown() override {
        // Ended as a logout ends it: an orderly quit with status 0, which a
        // sanitizer build turns into a failure when it reported anything.
        if (program_.pid() > 0) {
            const std::optional<int> status = program_.stop();
            EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0)
                << "glidra did not quit cleanly: wait status " << status.value_or(-1);
        }
        if (HasFailure() && program_.pid() > 0) {
            std::cerr << "glidra's output:\n" << program_.log().toStdString();
        }
    }

    void startServices() {
        x_ = std::make_unique<PrivateXServer>();
        ASSERT_TRUE(x_->isRunning()) << x_->failure().toStdString();
        ASSERT_TRUE(windowManager_.start(
            "openbox", {"--sm-disable"},
            testEnvironment({"DISPLAY=" + x_->display().toUtf8(), "HOME=" + QFile::encodeName(folder_.path())})));
        x11_ = std::make_unique<linux_platform::XcbConnection>(x_->display().toUtf8());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return !linux_platform::ewmh::items32(x11_->property(x11_->root(), "_NET_SUPPORTING_WM_CHECK"),
                                                      linux_platform::ewmh::kAtomWindow)
                            .empty();
            },
            10000))
            << "the window manager did not start";

        bus_ = std::make_unique<PrivateSessionBus>(ServiceAccess::everyUser);
        ASSERT_TRUE(bus_->isRunning()) << bus_->failure().toStdString();
        pulse_ = std::make_unique<PrivatePulseAudio>(ServiceAccess::everyUser, QString(), soundServer());
        ASSERT_TRUE(pulse_->isRunning()) << pulse_->error().toStdString();
        ASSERT_TRUE(
            pulse_->pactl({QStringLiteral("set-sink-mute"), QStringLiteral("glidra_out"), QStringLiteral("0")}));
        ASSERT_TRUE(
            pulse_->pactl({QStringLiteral("set-sink-volume"), QStringLiteral("glidra_out"), QStringLiteral("32768")}));
        ASSERT_TRUE(
            pulse_->pactl({QStringLiteral("set-source-mute"), QStringLiteral("glidra_in"), QStringLiteral("0")}));
    }

    // The user's home: a browser that notes the addresses it is given, and
    // the settings of a user who has bound gestures.
    void prepareHome() {
        home_ = folder_.filePath(QStringLiteral("home"));
        runtime_ = folder_.filePath(QStringLiteral("run"));
        ASSERT_TRUE(QDir().mkpath(runtime_));
        ASSERT_TRUE(
            writeFile(home_ + QStringLiteral("/bin/browser"), "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$HOME/opened\"\n",
                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        ASSERT_TRUE(writeFile(home_ + QStringLiteral("/.local/share/applications/test-browser.desktop"),
                              "[Desktop Entry]\nType=Application\nName=Browser\nExec=" + QFile::encodeName(home_) +
                                  "/bin/browser %u\nMimeType=x-scheme-handler/http;x-scheme-handler/https;\n"));
        ASSERT_TRUE(writeFile(home_ + QStringLiteral("/.config/mimeapps.list"),
                              "[Default Applications]\nx-scheme-handler/http=test-browser.desktop\n"
                              "x-scheme-handler/https=test-browser.desktop\n"));
    }

    void writeSettings(std::vector<GestureRule> rules) {
        linux_platform::JsonFileUserDefaults defaults(home_ + QStringLiteral("/.config/Glidra/settings.json"));
        ControlSettings settings(defaults);
        settings.setRules(std::move(rules));
        // The last session ended with control on: this one resumes it.
        settings.setRestoreEnabled(true);
        ASSERT_TRUE(defaults.failure().isEmpty()) << defaults.failure().toStdString();
    }

    // Starts the program as the user, in the session of the test's desktop.
    void startProgram() {
        devices_->shareWithEveryUser();
        if (asRoot_) {
            for (const QString& path : {home_, runtime_}) {
                ASSERT_EQ(::chown(QFile::encodeName(path).constData(), kNobody, kNobody), 0);
                QDirIterator entries(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                     QDirIterator::Subdirectories);
                while (entries.hasNext()) {
                    ASSERT_EQ(::lchown(QFile::encodeName(entries.next()).constData(), kNobody, kNobody), 0);
                }
            }
        }
        ::chmod(QFile::encodeName(runtime_).constData(), 0700);

        const QByteArray home = QFile::encodeName(home_);
        const passwd* user = ::getpwuid(asRoot_ ? kNobody : ::geteuid());
        const QByteArray name = user ? QByteArray(user->pw_name) : QByteArray("nobody");
        QList<QByteArray> environment{
            "HOME=" + home,
            "USER=" + name,
            "LOGNAME=" + name,
            "PATH=/usr/bin:/bin",
            "LANG=C.UTF-8",
            "XDG_CONFIG_HOME=" + home + "/.config",
            "XDG_DATA_HOME=" + home + "/.local/share",
            "XDG_STATE_HOME=" + home + "/.local/state",
            "XDG_CACHE_HOME=" + home + "/.cache",
            "XDG_DATA_DIRS=/usr/local/share:/usr/share",
            "XDG_RUNTIME_DIR=" + QFile::encodeName(runtime_),
            "DISPLAY=" + x_->display().toUtf8(),
            "DBUS_SESSION_BUS_ADDRESS=" + bus_->address().toUtf8(),
            // Nothing of the machine's: no system bus.
            "DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + QFile::encodeName(runtime_) + "/no-system-bus",
            "PULSE_SERVER=" + pulse_->server().toUtf8(),
            "GIO_USE_VFS=local",
            "LD_PRELOAD=" + preload_,
            "UMOCKDEV_DIR=" + QFile::encodeName(devices_->rootDirectory()),
        };
        // A sanitizer build keeps its options (suppressions, leak checking).
        for (const char* variable : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS"}) {
            if (qEnvironmentVariableIsSet(variable)) environment.append(variable + ("=" + qgetenv(variable)));
        }
        QList<QByteArray> arguments;
        if (asRoot_) arguments = {"--reuid=65534", "--regid=65534", "--clear-groups"};
        arguments += {"--", GLIDRA_APPLICATION};
        ASSERT_TRUE(program_.start("setpriv", arguments, environment));
    }

    // Whether the program holds the node open (the pseudo-terminal behind it).
    bool holdsOpen(const QByteArray& devnode) {
        const QString terminal = QFileInfo(devices_->rootDirectory() + QFile::decodeName(devnode)).canonicalFilePath();
        QDirIterator descriptors(QStringLiteral("/proc/%1/fd").arg(program_.pid()), QDir::System | QDir::Files);
        while (descriptors.hasNext()) {
            if (QFileInfo(descriptors.next()).symLinkTarget() == terminal) return true;
        }
        return false;
    }

    std::optional<std::set<QString>> windowTexts() { return AccessibleWindows(session_).showingTexts(program_.pid()); }

    bool play(const QByteArray& pad, const char* name) {
        return devices_->play(pad, fromSlotZero(recording(name).events));
    }

    template <typename Condition>
    bool waitFor(Condition condition) {
        return QTest::qWaitFor(
                   [&] {
                       EXPECT_TRUE(program_.isRunning()) << "glidra ended";
                       return condition() || !program_.isRunning();
                   },
                   kEffectMs) &&
               condition();
    }

    bool sinkMuted() { return pulse_->muted("sink", "glidra_out") == true; }
    std::optional<bool> sourceMuted() { return pulse_->muted("source", "glidra_in"); }

    // The program's own windows, as the window manager lists them.
    std::vector<std::uint32_t> programWindows() {
        std::vector<std::uint32_t> found;
        for (const std::uint32_t window : linux_platform::ewmh::items32(
                 x11_->property(x11_->root(), "_NET_CLIENT_LIST"), linux_platform::ewmh::kAtomWindow)) {
            const auto pid = linux_platform::ewmh::items32(x11_->property(window, "_NET_WM_PID"),
                                                           linux_platform::ewmh::kAtomCardinal);
            if (!pid.empty() && pid.front() == std::uint32_t(program_.pid())) found.push_back(window);
        }
        return found;
    }
    // Closes a window as its title bar's close button does.
    bool closeWindow(std::uint32_t window) {
        const bool sent = x11_->send(linux_platform::ewmh::closeWindow(x11_->atom("_NET_CLOSE_WINDOW"), window));
        x11_->flush();
        return sent;
    }

    // An ordinary window of an application (`pid`, as the application sets
    // it), mapped and managed by the window manager.
    std::uint32_t openWindow(xcb_connection_t* client, std::uint32_t pid, const QByteArray& wmClass) {
        const xcb_window_t id = xcb_generate_id(client);
        xcb_create_window(client, XCB_COPY_FROM_PARENT, id, x11_->root(), 100, 100, 400, 300, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_change_property(client, XCB_PROP_MODE_REPLACE, id, x11_->atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1,
                            &pid);
        xcb_change_property(client, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            std::uint32_t(wmClass.size()), wmClass.constData());
        xcb_map_window(client, id);
        xcb_flush(client);
        return id;
    }
    bool managed(std::uint32_t window) {
        const auto clients = linux_platform::ewmh::items32(x11_->property(x11_->root(), "_NET_CLIENT_LIST"),
                                                           linux_platform::ewmh::kAtomWindow);
        return std::find(clients.begin(), clients.end(), window) != clients.end();
    }
    std::uint32_t activeWindow() {
        const auto words = linux_platform::ewmh::items32(x11_->property(x11_->root(), "_NET_ACTIVE_WINDOW"),
                                                         linux_platform::ewmh::kAtomWindow);
        return words.empty() ? 0 : words.front();
    }
    // Iconic in the ICCCM's WM_STATE, as the window manager keeps it.
    bool minimised(std::uint32_t window) {
        const std::uint32_t state = x11_->atom("WM_STATE");
        const auto words = linux_platform::ewmh::items32(x11_->property(window, "WM_STATE", state), state);
        return !words.empty() && words.front() == 3;
    }
    std::optional<std::uint32_t> showingDesktop() {
        const auto words = linux_platform::ewmh::items32(x11_->property(x11_->root(), "_NET_SHOWING_DESKTOP"),
                                                         linux_platform::ewmh::kAtomCardinal);
        if (words.empty()) return std::nullopt;
        return words.front();
    }

    const bool asRoot_ = ::geteuid() == 0;
    QTemporaryDir folder_;
    QByteArray preload_;
    QString home_;
    QString runtime_;
    std::unique_ptr<PrivateXServer> x_;
    SpawnedProcess windowManager_;
    std::unique_ptr<linux_platform::XcbConnection> x11_;
    std::unique_ptr<PrivateSessionBus> bus_;
    std::unique_ptr<PrivatePulseAudio> pulse_;
    QDBusConnection session_{QString()};
    std::unique_ptr<FakeServiceHost> screenSaverHost_;
    FakeScreenSaver* screenSaver_ = nullptr;
    std::unique_ptr<FakeServiceHost> accessibilityHost_;
    std::unique_ptr<UmockdevInput> devices_;
    QByteArray uinput_;
    SpawnedProcess program_;
};

TEST_F(ComposedProgramTest, RecordedGesturesRunTheirBoundActionsOnTheDesktop) {
    const evdev::Recording cypress = recording("CyPS2_Cypress_Trackpad.two_finger_tap");
    const QByteArray pad = devices_->addDevice(cypress.device, kTouchpad);
    ASSERT_FALSE(pad.isEmpty());
    ASSERT_TRUE(devices_->setNodeMode(pad, 0666));
    // A second pad, whose recording is a finger sliding up.
    const evdev::Recording alps = recording("AlpsPS2_ALPS_GlidePoint.right-edge-scroll");
    const QByteArray slidePad = devices_->addDevice(alps.device, kTouchpad);
    ASSERT_FALSE(slidePad.isEmpty());
    ASSERT_TRUE(devices_->setNodeMode(slidePad, 0666));

    using K = GestureDescriptor::Kind;
    GestureRule website = rule(K::click, 3, GestureAction::openURL);
    website.parameters = ActionParameters{std::nullopt, QString::fromLatin1(kWebsite), std::nullopt};
    GestureRule louder = rule(K::swipe, 1, GestureAction::volumeUp);
    louder.gesture.direction = GestureDescriptor::Direction::up;
    writeSettings({rule(K::tap, 2, GestureAction::toggleMute), rule(K::tap, 3, GestureAction::toggleKeepAwake),
                   rule(K::click, 2, GestureAction::showDesktop), website, louder});
    ASSERT_FALSE(HasFatalFailure());
    startProgram();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitFor([&] { return holdsOpen(pad) && holdsOpen(slidePad); })) << "the touchpads were not opened";

    // The window is up and, with both pads readable, claims no missing access.
    std::optional<std::set<QString>> texts;
    ASSERT_TRUE(waitFor([&] { return (texts = windowTexts()) && !texts->empty(); })) << "no window to read";
    EXPECT_FALSE(texts->contains(kInputAccessMissing));

    ASSERT_FALSE(sinkMuted());
    ASSERT_TRUE(play(pad, "CyPS2_Cypress_Trackpad.two_finger_tap"));
    EXPECT_TRUE(waitFor([&] { return sinkMuted(); })) << "a two-finger tap mutes the sound";

    ASSERT_TRUE(play(pad, "CyPS2_Cypress_Trackpad.three_finger_tap"));
    EXPECT_TRUE(waitFor([&] { return screenSaver_->inhibits().size() == 1; })) << "a three-finger tap keeps awake";
    const auto inhibits = screenSaver_->inhibits();
    if (!inhibits.empty()) {
        EXPECT_EQ(inhibits.begin()->second.first, QStringLiteral("Glidra"));
    }

    ASSERT_EQ(showingDesktop().value_or(0), 0u);
    ASSERT_TRUE(play(pad, "CyPS2_Cypress_Trackpad.two_finger_press"));
    EXPECT_TRUE(waitFor([&] { return showingDesktop() == 1u; })) << "a two-finger click shows the desktop";

    const QString opened = home_ + QStringLiteral("/opened");
    ASSERT_TRUE(play(pad, "CyPS2_Cypress_Trackpad.three_finger_press"));
    EXPECT_TRUE(waitFor([&] { return readFile(opened) == kWebsite + "\n"; }))
        << "a three-finger click opens the website: " << readFile(opened).toStdString();

    const std::vector<int> before = pulse_->volumes("sink", "glidra_out");
    ASSERT_EQ(before, (std::vector<int>{32768, 32768}));
    ASSERT_TRUE(play(slidePad, "AlpsPS2_ALPS_GlidePoint.right-edge-scroll"));
    EXPECT_TRUE(waitFor([&] {
        const std::vector<int> now = pulse_->volumes("sink", "glidra_out");
        return now.size() == 2 && now[0] > before[0] && now[0] == now[1];
    })) << "a one-finger swipe up raises the volume";
    EXPECT_FALSE(sinkMuted()) << "raising the volume brings the sound back, as a volume key does";

    // The same gestures again: keep-awake ends, and the tap, whose recording
    // relies on the slot a kernel selects first, mutes once more.
    ASSERT_TRUE(play(pad, "CyPS2_Cypress_Trackpad.three_finger_tap"));
    EXPECT_TRUE(waitFor([&] { return screenSaver_->inhibits().empty(); })) << "a second tap lets the screen sleep";
    ASSERT_TRUE(play(pad, "CyPS2_Cypress_Trackpad.two_finger_tap"));
    EXPECT_TRUE(waitFor([&] { return sinkMuted(); })) << "a second two-finger tap mutes again";
}

TEST_F(ComposedProgramTest, HidingAnApplicationMinimisesEveryOneOfItsWindowsOnTheDesktop) {
    const evdev::Recording cypress = recording("CyPS2_Cypress_Trackpad.two_finger_tap");
    const QByteArray pad = devices_->addDevice(cypress.device, kTouchpad);
    ASSERT_FALSE(pad.isEmpty());
    ASSERT_TRUE(devices_->setNodeMode(pad, 0666));
    using K = GestureDescriptor::Kind;
    writeSettings(
        {rule(K::tap, 3, GestureAction::hideOtherApplications), rule(K::tap, 2, GestureAction::hideApplication)});
    ASSERT_FALSE(HasFatalFailure());
    startProgram();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitFor([&] { return holdsOpen(pad); })) << "the touchpad was not opened";
    ASSERT_TRUE(waitFor([&] { return windowTexts().has_value(); })) << "no window to read";

    // An editor with two windows in front, and a terminal behind it.
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> client(
        xcb_connect(x_->display().toUtf8().constData(), nullptr), &xcb_disconnect);
    ASSERT_EQ(xcb_connection_has_error(client.get()), 0);
    const std::uint32_t editor = openWindow(client.get(), 4242, QByteArray("editor\0Editor\0", 14));
    const std::uint32_t editorSecond = openWindow(client.get(), 4242, QByteArray("editor\0Editor\0", 14));
    const std::uint32_t terminal = openWindow(client.get(), 4343, QByteArray("term\0Term\0", 10));
    ASSERT_TRUE(waitFor([&] { return managed(editor) && managed(editorSecond) && managed(terminal); }));
    ASSERT_TRUE(x11_->send(linux_platform::ewmh::activateWindow(x11_->atom("_NET_ACTIVE_WINDOW"), editor, 0)));
    x11_->flush();
    ASSERT_TRUE(waitFor([&] { return activeWindow() == editor; })) << "the editor did not come to the front";

    ASSERT_TRUE(play(pad, "CyPS2_Cypress_Trackpad.three_finger_tap"));
    EXPECT_TRUE(waitFor([&] { return minimised(terminal); })) << "a three-finger tap hides the other applications";
    EXPECT_FALSE(minimised(editor));
    EXPECT_FALSE(minimised(editorSecond));

    ASSERT_TRUE(play(pad, "CyPS2_Cypress_Trackpad.two_finger_tap"));
    EXPECT_TRUE(waitFor([&] { return minimised(editor) && minimised(editorSecond); }))
        << "a two-finger tap hides both windows of the application in front";
}

TEST_F(ComposedProgramTest, ATouchpadRemovedAndAddedAgainTakesTheFirstTapAtOnce) {
    const evdev::Recording cypress = recording("CyPS2_Cypress_Trackpad.two_finger_tap");
    QByteArray pad = devices_->addDevice(cypress.device, kTouchpad);
    ASSERT_FALSE(pad.isEmpty());
    ASSERT_TRUE(devices_->setNodeMode(pad, 0666));
    writeSettings({rule(GestureDescriptor::Kind::tap, 2, GestureAction::toggleMute)});
    ASSERT_FALSE(HasFatalFailure());
    startProgram();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitFor([&] { return holdsOpen(pad); })) << "the touchpad was not opened";

    // Unplugged and plugged in again (a Bluetooth pad that reconnects), and
    // tapped 0.2 s later.
    devices_->removeDevice(pad);
    ASSERT_TRUE(waitFor([&] { return !holdsOpen(pad); }));
    QTest::qWait(500);
    pad = devices_->addUnannounced(cypress.device, kTouchpad);
    ASSERT_FALSE(pad.isEmpty());
    ASSERT_TRUE(devices_->setNodeMode(pad, 0666));
    devices_->shareWithEveryUser();
    ASSERT_TRUE(devices_->announce(pad));
    QTest::qWait(200);
    ASSERT_FALSE(sinkMuted());
    ASSERT_TRUE(play(pad, "CyPS2_Cypress_Trackpad.two_finger_tap"));
    EXPECT_TRUE(waitFor([&] { return sinkMuted(); })) << "the first two-finger tap on the pad back mutes the sound";
}

TEST_F(ComposedProgramTest, ATouchpadTheUserCannotReadMakesTheWindowSayInputAccessIsMissing) {
    const evdev::Recording cypress = recording("CyPS2_Cypress_Trackpad.two_finger_tap");
    const QByteArray pad = devices_->addDevice(cypress.device, kTouchpad);
    ASSERT_FALSE(pad.isEmpty());
    // Readable by nobody: no udev rule has given the user the seat's devices.
    ASSERT_TRUE(devices_->setNodeMode(pad, 0));
    writeSettings({rule(GestureDescriptor::Kind::tap, 2, GestureAction::toggleMute)});
    ASSERT_FALSE(HasFatalFailure());
    startProgram();
    ASSERT_FALSE(HasFatalFailure());

    std::optional<std::set<QString>> texts;
    EXPECT_TRUE(waitFor([&] { return (texts = windowTexts()) && texts->contains(kInputAccessMissing); }))
        << "the window does not say that input access is missing";
    EXPECT_FALSE(holdsOpen(pad));
}

// How a test ends the program: logout's SIGTERM, or the tray menu's quit.
enum class Ending { signal, trayMenu };

struct SoundEnding {
    SoundServer server;
    Ending ending;
};

// The id of the entry labelled `label` in a dbusmenu layout, (ia{sv}av)
// with each child a variant of the same.
std::optional<int> menuEntry(const QDBusArgument& item, const QString& label) {
    int id = 0;
    QVariantMap properties;
    item.beginStructure();
    item >> id >> properties;
    std::optional<int> found;
    if (properties.value(QStringLiteral("label")).toString() == label) found = id;
    item.beginArray();
    while (!item.atEnd()) {
        QDBusVariant child;
        item >> child;
        const auto inChild = menuEntry(child.variant().value<QDBusArgument>(), label);
        if (!found) found = inChild;
    }
    item.endArray();
    item.endStructure();
    return found;
}

class ProgramEndTest : public ComposedProgramTest, public ::testing::WithParamInterface<SoundEnding> {
protected:
    SoundServer soundServer() const override { return GetParam().server; }

    // The panel of a desktop whose tray comes after the program, as at
    // login: the StatusNotifier watcher Debian ships, and a host registered
    // with it as a panel registers its own.
    void startLatePanel() {
        if (QStandardPaths::findExecutable(QStringLiteral("status-notifier-watcher")).isEmpty()) {
            GTEST_SKIP() << "status-notifier-watcher is not installed (Debian package "
                            "haskell-status-notifier-item-utils; scripts/test installs it)";
        }
        ASSERT_TRUE(
            watcher_.start("status-notifier-watcher", {},
                           testEnvironment({"DBUS_SESSION_BUS_ADDRESS=" + bus_->address().toUtf8(), "LD_PRELOAD="})));
        host_ = bus_->connect(QStringLiteral("glidra-live-panel"));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return host_.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")); },
            kEffectMs));
        ASSERT_TRUE(host_.registerService(QStringLiteral("org.kde.StatusNotifierHost-7")));
        QDBusMessage hosting = QDBusMessage::createMethodCall(
            QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
            QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("RegisterStatusNotifierHost"));
        hosting.setArguments({QStringLiteral("org.kde.StatusNotifierHost-7")});
        // The watcher takes its name a moment before it answers on it.
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return host_.call(hosting).type() == QDBusMessage::ReplyMessage; }, kEffectMs));
    }

    QStringList registeredItems() {
        QDBusMessage get = QDBusMessage::createMethodCall(
            QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get.setArguments(
            {QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("RegisteredStatusNotifierItems")});
        const QDBusMessage reply = host_.call(get);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
        return reply.arguments().constFirst().value<QDBusVariant>().variant().toStringList();
    }

    // Chooses the entry as the panel does when the user clicks it.
    bool chooseInTrayMenu(const QString& item, const QString& label) {
        QDBusMessage layout = QDBusMessage::createMethodCall(
            item, QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("GetLayout"));
        layout.setArguments({0, -1, QStringList()});
        const QDBusMessage reply = host_.call(layout);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) return false;
        const auto entry = menuEntry(reply.arguments().at(1).value<QDBusArgument>(), label);
        if (!entry) return false;
        QDBusMessage click = QDBusMessage::createMethodCall(
            item, QStringLiteral("/MenuBar"), QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("Event"));
        click.setArguments({*entry, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
        return host_.call(click).type() == QDBusMessage::ReplyMessage;
    }

    SpawnedProcess watcher_;
    QDBusConnection host_{QString()};
};

// The unmute that quitting sends reaches the server before the program ends,
// whichever way it ends.
TEST_P(ProgramEndTest, TheMicrophoneAGestureMutedIsBackTheMomentTheProgramHasEnded) {
    const evdev::Recording cypress = recording("CyPS2_Cypress_Trackpad.two_finger_tap");
    const QByteArray pad = devices_->addDevice(cypress.device, kTouchpad);
    ASSERT_FALSE(pad.isEmpty());
    ASSERT_TRUE(devices_->setNodeMode(pad, 0666));
    writeSettings({rule(GestureDescriptor::Kind::tap, 2, GestureAction::toggleMicrophoneMute)});
    ASSERT_FALSE(HasFatalFailure());
    startProgram();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitFor([&] { return holdsOpen(pad); })) << "the touchpad was not opened";
    ASSERT_TRUE(waitFor([&] { return !programWindows().empty(); })) << "no tray yet: the window opens at start";

    const bool viaTray = GetParam().ending == Ending::trayMenu;
    QString item;
    if (viaTray) {
        startLatePanel();
        if (IsSkipped() || HasFatalFailure()) return;
        const QString ours = QStringLiteral("StatusNotifierItem-%1-").arg(program_.pid());
        EXPECT_TRUE(waitFor([&] {
            for (const QString& registered : registeredItems()) {
                if (registered.contains(ours)) item = registered.section(QLatin1Char('/'), 0, 0);
            }
            return !item.isEmpty();
        })) << "the tray item did not register with the watcher: "
            << registeredItems().join(u' ').toStdString();
        ASSERT_FALSE(item.isEmpty());
        // With the icon in the tray, closing the window leaves the program
        // running.
        for (const std::uint32_t window : programWindows()) ASSERT_TRUE(closeWindow(window));
        ASSERT_TRUE(waitFor([&] { return programWindows().empty(); })) << "the window did not close";
        EXPECT_EQ(program_.waitForExit(1500), std::nullopt) << "closing the window quit the program";
    }

    ASSERT_EQ(sourceMuted(), false);
    // The program has the server's devices a moment after it connects.
    ASSERT_TRUE(waitFor([&] {
        return pulse_->pactl({QStringLiteral("list"), QStringLiteral("clients")})
            .value_or(QString())
            .contains(QLatin1String("application.name = \"Glidra\""));
    })) << "the program did not connect to the sound server";
    ASSERT_TRUE(play(pad, "CyPS2_Cypress_Trackpad.two_finger_tap"));
    ASSERT_TRUE(waitFor([&] { return sourceMuted() == true; })) << "a two-finger tap mutes the microphone";

    if (viaTray) {
        ASSERT_TRUE(chooseInTrayMenu(item, QStringLiteral("退出 Glidra")));
    } else {
        ASSERT_EQ(::kill(program_.pid(), SIGTERM), 0);
    }
    const std::optional<int> status = program_.waitForExit(kEffectMs);
    ASSERT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0)
        << "glidra did not quit cleanly: wait status " << status.value_or(-1);
    EXPECT_EQ(sourceMuted(), false) << "the microphone is still muted once the program has ended";
}

INSTANTIATE_TEST_SUITE_P(OnEachSoundServer, ProgramEndTest,
                         ::testing::Values(SoundEnding{SoundServer::pipewire, Ending::signal},
                                           SoundEnding{SoundServer::pipewire, Ending::trayMenu},
                                           SoundEnding{SoundServer::pulseaudio, Ending::signal},
                                           SoundEnding{SoundServer::pulseaudio, Ending::trayMenu}),
                         [](const ::testing::TestParamInfo<SoundEnding>& info) {
                             return std::string(PrivatePulseAudio::nameOf(info.param.server)) +
                                    (info.param.ending == Ending::signal ? "_Signal" : "_TrayMenu");
                         });

}  // namespace
}  // namespace glidra::test
