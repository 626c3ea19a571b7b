// The real input service and the real glidra, each a process of its own, over
// a mocked keyboard and touchpad: the program is admitted, learns the
// keyboards only from the service's summary without ever opening a keyboard,
// and when it is killed the service takes everything back.
//
// umockdev answers the ioctls only of descriptors its own process opened, so
// the touchpad descriptor the service hands over reads as no evdev node in
// the program here; the frames through a handed descriptor are a kernel
// node's business, and the unit tests cover the hand-over itself.
#include "support/DesktopSession.h"
#include "support/ServiceLoop.h"
#include "support/SpawnedProcess.h"
#include "support/UmockdevInput.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <linux/input.h>
#include <signal.h>

#include <iostream>

namespace glidra::test {
namespace {

class InputServiceLiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!session.isReady()) GTEST_SKIP() << session.failure().toStdString();
        if (!qgetenv("LD_PRELOAD").contains("libumockdev-preload")) {
            GTEST_SKIP() << "umockdev's preload library is not loaded";
        }
        devices = std::make_unique<UmockdevInput>();
        keyboard = devices->addDevice(
            UmockdevInput::keyboard("Mock Keyboard"),
            {QStringLiteral("ID_INPUT=1"), QStringLiteral("ID_INPUT_KEY=1"), QStringLiteral("ID_INPUT_KEYBOARD=1")});
        ASSERT_FALSE(keyboard.isEmpty());
        // Opened by the service alone: the user has no access to it.
        ASSERT_TRUE(devices->setNodeMode(keyboard, 0600));
        devices->shareWithEveryUser();
        socket = session.runtime() + QStringLiteral("/glidra-inputd.sock");
        const QString seat = session.runtime() + QStringLiteral("/seat0");
        ASSERT_TRUE(
            session.writeFile(seat, QStringLiteral("ACTIVE=c1\nACTIVE_UID=%1\n").arg(session.userId()).toUtf8()));
        QList<QByteArray> environment;
        for (const QByteArray& variable :
             qgetenv("PATH").isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{"PATH=" + qgetenv("PATH")}) {
            environment << variable;
        }
        environment << "LD_PRELOAD=" + qgetenv("LD_PRELOAD")
                    << "UMOCKDEV_DIR=" + QFile::encodeName(devices->rootDirectory());
        ASSERT_TRUE(service.start(GLIDRA_INPUTD,
                                  {"--socket", QFile::encodeName(socket), "--client", GLIDRA_APPLICATION, "--seat-file",
                                   QFile::encodeName(seat)},
                                  environment));
        ASSERT_TRUE(serveUntil([&] { return QFileInfo::exists(socket); }, 10'000));
    }

    void TearDown() override {
        if (HasFailure()) {
            std::cerr << "glidra's output:\n" << glidra.log().right(8000).toStdString();
            std::cerr << "the service's output:\n" << service.log().right(4000).toStdString();
        }
        if (glidra.pid() > 0 && glidra.isRunning()) glidra.stop();
        if (service.pid() > 0 && service.isRunning()) service.stop();
    }

    // Whether the process holds the mocked node open (the pseudo-terminal
    // behind it).
    bool holdsOpen(pid_t pid, const QByteArray& devnode) const {
        const QString terminal = QFileInfo(devices->rootDirectory() + QFile::decodeName(devnode)).canonicalFilePath();
        QDirIterator descriptors(QStringLiteral("/proc/%1/fd").arg(pid), QDir::System | QDir::Files);
        while (descriptors.hasNext()) {
            if (QFileInfo(descriptors.next()).symLinkTarget() == terminal) return true;
        }
        return false;
    }

    DesktopSession session;
    std::unique_ptr<UmockdevInput> devices;
    QByteArray keyboard;
    QString socket;
    SpawnedProcess service;
    SpawnedProcess glidra;
};

TEST_F(InputServiceLiveTest, TheProgramLearnsTheKeyboardsFromTheServiceAndLosesThemWhenKilled) {
    ASSERT_TRUE(session.start(
        glidra, GLIDRA_APPLICATION, {},
        {"QT_QPA_PLATFORM=offscreen", "LD_PRELOAD=" + qgetenv("LD_PRELOAD"),
         "UMOCKDEV_DIR=" + QFile::encodeName(devices->rootDirectory()),
         "GLIDRA_INPUTD_SOCKET=" + QFile::encodeName(socket), "QT_LOGGING_RULES=glidra.input.debug=true"}));
    ASSERT_TRUE(serveUntil([&] { return service.log().contains("accepted a client"); }, 20'000));
    // The keyboard state and the typing monitor ask for the summary at start.
    ASSERT_TRUE(serveUntil([&] { return glidra.log().contains("the input service says: modifiers 0"); }, 20'000));

    ASSERT_TRUE(devices->write(keyboard, {{0, EV_KEY, KEY_LEFTCTRL, 1},
                                          {0, EV_SYN, SYN_REPORT, 0},
                                          {0, EV_KEY, KEY_Q, 1},
                                          {0, EV_SYN, SYN_REPORT, 0},
                                          {0, EV_KEY, KEY_Q, 0},
                                          {0, EV_KEY, KEY_LEFTCTRL, 0},
                                          {0, EV_SYN, SYN_REPORT, 0}}));
    EXPECT_TRUE(serveUntil([&] { return glidra.log().contains("the input service says: modifiers 2"); }, 10'000));
    EXPECT_TRUE(serveUntil([&] { return glidra.log().contains("the input service says: press\n"); }, 10'000));
    EXPECT_FALSE(holdsOpen(glidra.pid(), keyboard)) << "the program opened the keyboard itself";
    EXPECT_TRUE(holdsOpen(service.pid(), keyboard));

    const pid_t pid = glidra.pid();
    ::kill(pid, SIGKILL);
    glidra.waitForExit(5'000);
    EXPECT_TRUE(serveUntil(
        [&] {
            return service.log().contains("took the devices back from process " + QByteArray::number(pid) +
                                          ": the client went away");
        },
        10'000));
    // With no client left, the service closes the keyboards too.
    EXPECT_TRUE(serveUntil([&] { return !holdsOpen(service.pid(), keyboard); }, 10'000));
}

}  // namespace
}  // namespace glidra::test
