#include "platform/FakeDesktopAddOns.h"

#include <QDBusMessage>

#include <algorithm>

namespace glidra::test {

namespace {

const QString kPath = QStringLiteral("/io/github/glidra/Glidra/Shell");
const QString kInterface = QStringLiteral("io.github.glidra.Glidra.Shell1");

}  // namespace

QVariantMap FakeShellExtension::describe(const std::optional<Window>& window) const {
    if (!window) return {};
    return {
        {QStringLiteral("id"), QVariant::fromValue(window->id)},
        {QStringLiteral("app-id"), window->appId},
        {QStringLiteral("resource-class"), window->resourceClass},
        {QStringLiteral("pid"), window->pid},
        {QStringLiteral("title"), window->title},
        {QStringLiteral("x"), window->frame.x()},
        {QStringLiteral("y"), window->frame.y()},
        {QStringLiteral("width"), window->frame.width()},
        {QStringLiteral("height"), window->frame.height()},
        {QStringLiteral("fullscreen"), window->fullScreen},
    };
}

void FakeShellExtension::focus(std::optional<Window> window) {
    {
        QMutexLocker lock(&mutex_);
        focused_ = std::move(window);
    }
    announce();
}

void FakeShellExtension::announce() {
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("FocusedWindowChanged"));
    QMutexLocker lock(&mutex_);
    signal.setArguments({describe(focused_)});
    bus_.send(signal);
}

QStringList FakeShellExtension::calls() const {
    QMutexLocker lock(&mutex_);
    return calls_;
}

bool FakeShellExtension::swipesDisabled() const {
    QMutexLocker lock(&mutex_);
    return swipesDisabled_;
}

QVariantMap FakeShellExtension::GetState() {
    QMutexLocker lock(&mutex_);
    return {{QStringLiteral("focused-window"), describe(focused_)},
            {QStringLiteral("swipes-supported"), true},
            {QStringLiteral("swipes-disabled"), swipesDisabled_},
            {QStringLiteral("version"), 1u}};
}

QVariantMap FakeShellExtension::GetWindow(qulonglong id) {
    QMutexLocker lock(&mutex_);
    return focused_ && focused_->id == id ? describe(focused_) : QVariantMap();
}

bool FakeShellExtension::record(const QString& call, qulonglong id) {
    QMutexLocker lock(&mutex_);
    calls_.append(call);
    return focused_ && focused_->id == id;
}

bool FakeShellExtension::MoveResize(qulonglong id, int x, int y, int width, int height) {
    if (!record(QStringLiteral("MoveResize(%1, %2, %3, %4, %5)").arg(id).arg(x).arg(y).arg(width).arg(height), id)) {
        return false;
    }
    {
        QMutexLocker lock(&mutex_);
        focused_->frame = QRect(x, y, std::max(width, focused_->minimumSize.width()),
                                std::max(height, focused_->minimumSize.height()));
    }
    announce();
    return true;
}

bool FakeShellExtension::Maximize(qulonglong id) { return record(QStringLiteral("Maximize(%1)").arg(id), id); }
bool FakeShellExtension::Minimize(qulonglong id) { return record(QStringLiteral("Minimize(%1)").arg(id), id); }
bool FakeShellExtension::Close(qulonglong id) { return record(QStringLiteral("Close(%1)").arg(id), id); }

bool FakeShellExtension::ActivateProcess(int pid) {
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("ActivateProcess(%1)").arg(pid));
    return true;
}

bool FakeShellExtension::MinimizeProcess(int pid) {
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("MinimizeProcess(%1)").arg(pid));
    return true;
}

bool FakeShellExtension::SetSwipeGesturesDisabled(bool disabled) {
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("SetSwipeGesturesDisabled(%1)").arg(disabled ? "true" : "false"));
    swipesDisabled_ = disabled;
    return true;
}

QStringList FakeKWinScripting::calls() const {
    QMutexLocker lock(&mutex_);
    return calls_;
}

void FakeKWinScripting::setLoaded(bool loaded) {
    QMutexLocker lock(&mutex_);
    loaded_ = loaded;
}

bool FakeKWinScripting::isScriptLoaded(const QString& name) {
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("isScriptLoaded(%1)").arg(name));
    return loaded_;
}

int FakeKWinScripting::loadScript(const QString& path, const QString& name) {
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("loadScript(%1, %2)").arg(path, name));
    loaded_ = true;
    return 3;
}

void FakeKWinScripting::start() {
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("start()"));
}

bool FakeKWinScripting::unloadScript(const QString& name) {
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("unloadScript(%1)").arg(name));
    const bool was = loaded_;
    loaded_ = false;
    return was;
}

}  // namespace glidra::test
