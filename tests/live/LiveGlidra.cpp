#include "live/LiveGlidra.h"

#include "platform/evdev/EvemuReader.h"
#include "platform/linux/JsonFileUserDefaults.h"
#include "settings/ControlSettings.h"
#include "support/ServiceLoop.h"

#include <QDirIterator>
#include <QFileInfo>

#include <linux/input.h>
#include <signal.h>

#include <gtest/gtest.h>

namespace glidra::test {

namespace {

const QStringList kTouchpad{QStringLiteral("ID_INPUT=1"), QStringLiteral("ID_INPUT_TOUCHPAD=1")};

std::optional<evdev::Recording> recording(const char* name) {
    const auto read = evdev::EvemuReader::readFile(std::string(GLIDRA_TEST_DATA_DIR "/recordings/") + name + ".events");
    if (!read.ok()) return std::nullopt;
    return read.recording();
}

}  // namespace

LiveGlidra::LiveGlidra(DesktopSession& session) : session_(session), preload_(qgetenv("LD_PRELOAD")) {
    if (!preload_.contains("libumockdev-preload")) {
        failure_ = QStringLiteral("umockdev's preload library is not loaded");
        return;
    }
    devices_ = std::make_unique<UmockdevInput>();
    const auto cypress = recording("CyPS2_Cypress_Trackpad.two_finger_tap");
    if (!cypress) {
        failure_ = QStringLiteral("the Cypress recording does not read");
        return;
    }
    pad_ = devices_->addDevice(cypress->device, kTouchpad);
    const QByteArray uinput = devices_->addUinput();
    if (pad_.isEmpty() || uinput.isEmpty() || !devices_->setNodeMode(pad_, 0666) ||
        !devices_->setNodeMode(uinput, 0666)) {
        failure_ = QStringLiteral("cannot mock the touchpad");
        return;
    }
    devices_->shareWithEveryUser();
}

LiveGlidra::~LiveGlidra() {
    if (program_.pid() > 0 && program_.isRunning()) program_.stop();
}

GestureRule LiveGlidra::rule(GestureDescriptor::Kind kind, qint64 fingers, GestureAction action,
                             std::optional<QString> application) {
    GestureRule made;
    made.gesture.kind = kind;
    made.gesture.fingers = fingers;
    made.action = action;
    if (application) made.appBundleID = *application;
    return made;
}

bool LiveGlidra::writeSettings(std::vector<GestureRule> rules, const QList<QPair<QString, DefaultsValue>>& more) {
    {
        linux_platform::JsonFileUserDefaults defaults(session_.home() +
                                                      QStringLiteral("/.config/Glidra/settings.json"));
        ControlSettings settings(defaults);
        settings.setRules(std::move(rules));
        // The last session ended with control on: this one resumes it.
        settings.setRestoreEnabled(true);
        for (const auto& [key, value] : more) {
            if (!defaults.setValue(key, value)) return false;
        }
        if (!defaults.failure().isEmpty()) return false;
    }
    return session_.handOver();
}

bool LiveGlidra::start(const QList<QByteArray>& desktop) {
    QList<QByteArray> changes = desktop;
    changes +=
        {"LD_PRELOAD=" + preload_, "UMOCKDEV_DIR=" + QFile::encodeName(devices_->rootDirectory()),
         // When it listens, and what it recognised and ran, for the log
         // a failure shows.
         "QT_LOGGING_RULES=glidra.recovery.debug=true\nglidra.recognition.debug=true\nglidra.actions.debug=true"};
    const qsizetype started = program_.pid() > 0 ? program_.log().count("listening started") : 0;
    if (!session_.start(program_, GLIDRA_APPLICATION, {}, changes)) return false;
    return serveUntil(
               [&] {
                   return !program_.isRunning() ||
                          (holdsPadOpen() && program_.log().count("listening started") > started);
               },
               kEffectMs) &&
           program_.isRunning();
}

std::optional<int> LiveGlidra::kill() {
    ::kill(program_.pid(), SIGKILL);
    return program_.waitForExit(5000);
}

// Whether the program holds the pad open (the pseudo-terminal behind it).
bool LiveGlidra::holdsPadOpen() {
    const QString terminal = QFileInfo(devices_->rootDirectory() + QFile::decodeName(pad_)).canonicalFilePath();
    QDirIterator descriptors(QStringLiteral("/proc/%1/fd").arg(program_.pid()), QDir::System | QDir::Files);
    while (descriptors.hasNext()) {
        if (QFileInfo(descriptors.next()).symLinkTarget() == terminal) return true;
    }
    return false;
}

bool LiveGlidra::play(const char* name) {
    const auto played = recording(name);
    return played && devices_->play(pad_, fromSlotZero(played->events));
}

}  // namespace glidra::test
