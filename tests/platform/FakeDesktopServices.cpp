#include "platform/FakeDesktopServices.h"

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

uint FakeScreenSaver::Inhibit(const QString& application, const QString& reason) {
    QMutexLocker lock(&mutex_);
    if (unresponsive_) {
        setDelayedReply(true);  // and never reply
        return 0;
    }
    const uint cookie = nextCookie_++;
    inhibits_[cookie] = {application, reason};
    return cookie;
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

int FakeKeyboardBacklight::GetBrightness() {
    QMutexLocker lock(&mutex_);
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

FakeServiceHost::FakeServiceHost(QDBusConnection bus) : bus_(std::move(bus)) { thread_.start(); }

FakeServiceHost::~FakeServiceHost() {
    for (const auto& object : objects_) bus_.unregisterObject(object->objectName());
    thread_.quit();
    thread_.wait();
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

bool FakeServiceHost::serve(const QString& service, const QString& path, std::unique_ptr<QObject> object) {
    object->setObjectName(path);
    object->moveToThread(&thread_);
    if (!bus_.registerService(service)) return false;
    if (!bus_.registerObject(path, object.get(),
                             QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableProperties)) {
        return false;
    }
    objects_.push_back(std::move(object));
    return true;
}

}  // namespace glidra::test
