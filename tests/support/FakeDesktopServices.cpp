#include "support/FakeDesktopServices.h"

#include <QDBusMessage>
#include <QMutexLocker>

namespace glidra::test {

std::map<uint, std::pair<QString, QString>> FakeScreenSaver::inhibits() const {
    QMutexLocker lock(&mutex_);
    return inhibits_;
}

void FakeScreenSaver::setUnresponsive(bool unresponsive) {
    QMutexLocker lock(&mutex_);
    unresponsive_ = unresponsive;
}

void FakeScreenSaver::setAnswersLater(bool later) {
    QMutexLocker lock(&mutex_);
    answersLater_ = later;
}

void FakeScreenSaver::answerInhibits() {
    QMutexLocker lock(&mutex_);
    for (const HeldCall& call : std::exchange(held_, {})) {
        const QList<QVariant> arguments = call.message.arguments();
        const uint cookie = grant(arguments.value(0).toString(), arguments.value(1).toString());
        call.connection.send(call.message.createReply(QVariant::fromValue(cookie)));
    }
}

std::size_t FakeScreenSaver::unansweredInhibits() const {
    QMutexLocker lock(&mutex_);
    return held_.size();
}

uint FakeScreenSaver::grant(const QString& application, const QString& reason) {
    const uint cookie = nextCookie_++;
    inhibits_[cookie] = {application, reason};
    return cookie;
}

uint FakeScreenSaver::Inhibit(const QString& application, const QString& reason) {
    QMutexLocker lock(&mutex_);
    if (unresponsive_ || answersLater_) {
        setDelayedReply(true);
        if (answersLater_) held_.push_back({connection(), message()});
        return 0;
    }
    return grant(application, reason);
}

void FakeScreenSaver::UnInhibit(uint cookie) {
    QMutexLocker lock(&mutex_);
    if (inhibits_.erase(cookie) == 0) {
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("no such inhibit"));
    }
}

int FakeKeyboardBacklight::level() const {
    QMutexLocker lock(&mutex_);
    return level_;
}

void FakeKeyboardBacklight::setLevel(int level) {
    QMutexLocker lock(&mutex_);
    level_ = level;
}

int FakeKeyboardBacklight::setCalls() const {
    QMutexLocker lock(&mutex_);
    return setCalls_;
}

int FakeKeyboardBacklight::GetMaxBrightness() {
    QMutexLocker lock(&mutex_);
    return maximum_;
}

void FakeKeyboardBacklight::setAnswersLater(bool later) {
    QMutexLocker lock(&mutex_);
    answersLater_ = later;
}

void FakeKeyboardBacklight::answerReads() {
    QMutexLocker lock(&mutex_);
    for (const HeldCall& call : std::exchange(held_, {})) call.connection.send(call.message.createReply(level_));
}

std::size_t FakeKeyboardBacklight::unansweredReads() const {
    QMutexLocker lock(&mutex_);
    return held_.size();
}

int FakeKeyboardBacklight::GetBrightness() {
    QMutexLocker lock(&mutex_);
    if (answersLater_) {
        setDelayedReply(true);
        held_.push_back({connection(), message()});
    }
    return level_;
}

void FakeKeyboardBacklight::SetBrightness(int value) {
    QMutexLocker lock(&mutex_);
    if (value < 0 || value > maximum_) {
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("level out of range"));
        return;
    }
    ++setCalls_;
    level_ = value;
}

FakeServiceHost::FakeServiceHost(QDBusConnection bus) : bus_(std::move(bus)) {}

FakeServiceHost::~FakeServiceHost() {
    for (const auto& object : objects_) bus_.unregisterObject(object->objectName());
    thread_.stop();
}

bool FakeGnomeShell::overviewActive() const {
    QMutexLocker lock(&mutex_);
    return overviewActive_;
}

void FakeGnomeShell::setOverviewActive(bool active) {
    QMutexLocker lock(&mutex_);
    overviewActive_ = active;
}

QStringList FakeKWinShortcuts::invoked() const {
    QMutexLocker lock(&mutex_);
    return invoked_;
}

QStringList FakeKWinShortcuts::shortcutNames() const {
    QMutexLocker lock(&mutex_);
    return names_;
}

void FakeKWinShortcuts::invokeShortcut(const QString& name) {
    QMutexLocker lock(&mutex_);
    invoked_.append(name);
}

FakeAccessibilityBus::FakeAccessibilityBus(QString address) : address_(std::move(address)) {
    new FakeAccessibilityStatus(this);
}

bool FakeServiceHost::serve(const QString& service, const QString& path, std::unique_ptr<QObject> object) {
    object->setObjectName(path);
    if (!bus_.registerService(service)) return false;
    // Registered on this thread: the bus makes its adaptors' connector a
    // child of the object, which then moves with it.
    if (!bus_.registerObject(path, object.get(),
                             QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableProperties |
                                 QDBusConnection::ExportAdaptors)) {
        return false;
    }
    object->moveToThread(&thread_);
    objects_.push_back(std::move(object));
    // Started after the object exists: a race checker then sees all it holds
    // written before the thread reads it, which it cannot see through Qt's
    // own hand-over of an object to a running thread.
    if (!thread_.isRunning()) thread_.start();
    return true;
}

}  // namespace glidra::test
