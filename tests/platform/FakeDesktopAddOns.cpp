#include "platform/FakeDesktopAddOns.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>

#include <algorithm>

namespace glidra::test {

namespace {

const QString kPath = QStringLiteral("/io/github/glidra/Glidra/Shell");
const QString kInterface = QStringLiteral("io.github.glidra.Glidra.Shell1");
const QString kClientName = QStringLiteral("io.github.glidra.Glidra");

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

QVariantMap FakeShellExtension::state() const {
    return {{QStringLiteral("swipes-supported"), true},
            {QStringLiteral("swipes-disabled"), swipesDisabled_},
            {QStringLiteral("version"), 2u}};
}

bool FakeShellExtension::allowed() {
    const QString client = connection().interface()->serviceOwner(kClientName).value();
    if (!client.isEmpty() && message().service() == client) return true;
    QMutexLocker lock(&mutex_);
    ++refusals_;
    sendErrorReply(QDBusError::AccessDenied, QStringLiteral("answers the owner of %1 only").arg(kClientName));
    return false;
}

// To the program alone, as the extension sends its signals.
void FakeShellExtension::tellProgram(const QString& signal, const QVariantMap& argument) {
    const QString client = bus_.interface()->serviceOwner(kClientName).value();
    if (client.isEmpty()) return;
    QDBusMessage message = QDBusMessage::createTargetedSignal(client, kPath, kInterface, signal);
    message.setArguments({argument});
    bus_.send(message);
}

void FakeShellExtension::focus(std::optional<Window> window) {
    {
        QMutexLocker lock(&mutex_);
        focused_ = std::move(window);
    }
    announce();
}

void FakeShellExtension::announce() {
    QVariantMap window;
    {
        QMutexLocker lock(&mutex_);
        window = describe(focused_);
    }
    tellProgram(QStringLiteral("FocusedWindowChanged"), window);
}

void FakeShellExtension::turnSwipesOn() {
    QVariantMap now;
    {
        QMutexLocker lock(&mutex_);
        swipesDisabled_ = false;
        now = state();
    }
    tellProgram(QStringLiteral("StateChanged"), now);
}

QStringList FakeShellExtension::calls() const {
    QMutexLocker lock(&mutex_);
    return calls_;
}

int FakeShellExtension::refusals() const {
    QMutexLocker lock(&mutex_);
    return refusals_;
}

bool FakeShellExtension::swipesDisabled() const {
    QMutexLocker lock(&mutex_);
    return swipesDisabled_;
}

void FakeShellExtension::setAnswersLater(bool later) {
    QMutexLocker lock(&mutex_);
    answersLater_ = later;
}

void FakeShellExtension::answerMoves() {
    std::vector<HeldCall> held;
    {
        QMutexLocker lock(&mutex_);
        held = std::exchange(held_, {});
    }
    for (const HeldCall& call : held) {
        const QList<QVariant> arguments = call.message.arguments();
        bool reached = false;
        {
            QMutexLocker lock(&mutex_);
            if (focused_ && focused_->id == arguments.value(0).toULongLong()) {
                const QSize least = focused_->minimumSize;
                const QRect asked(arguments.value(1).toInt(), arguments.value(2).toInt(), arguments.value(3).toInt(),
                                  arguments.value(4).toInt());
                focused_->frame =
                    QRect(asked.topLeft(), asked.size().expandedTo(least.isValid() ? least : QSize(0, 0)));
                reached = focused_->frame == asked;
            }
        }
        call.connection.send(call.message.createReply(reached));
        announce();
    }
}

std::size_t FakeShellExtension::unansweredMoves() const {
    QMutexLocker lock(&mutex_);
    return held_.size();
}

QVariantMap FakeShellExtension::GetState() {
    if (!allowed()) return {};
    QMutexLocker lock(&mutex_);
    QVariantMap answer = state();
    answer.insert(QStringLiteral("focused-window"), describe(focused_));
    return answer;
}

QVariantMap FakeShellExtension::GetWindow(qulonglong id) {
    if (!allowed()) return {};
    QMutexLocker lock(&mutex_);
    return focused_ && focused_->id == id ? describe(focused_) : QVariantMap();
}

bool FakeShellExtension::record(const QString& call, qulonglong id) {
    QMutexLocker lock(&mutex_);
    calls_.append(call);
    return focused_ && focused_->id == id;
}

bool FakeShellExtension::MoveResize(qulonglong id, int x, int y, int width, int height) {
    if (!allowed()) return false;
    if (!record(QStringLiteral("MoveResize(%1, %2, %3, %4, %5)").arg(id).arg(x).arg(y).arg(width).arg(height), id)) {
        return false;
    }
    {
        QMutexLocker lock(&mutex_);
        held_.push_back({connection(), message()});
        setDelayedReply(true);
        if (answersLater_) return false;
    }
    answerMoves();
    return false;
}

bool FakeShellExtension::Maximize(qulonglong id) {
    return allowed() && record(QStringLiteral("Maximize(%1)").arg(id), id);
}
bool FakeShellExtension::Minimize(qulonglong id) {
    return allowed() && record(QStringLiteral("Minimize(%1)").arg(id), id);
}
bool FakeShellExtension::Close(qulonglong id) { return allowed() && record(QStringLiteral("Close(%1)").arg(id), id); }

bool FakeShellExtension::ActivateProcess(int pid) {
    if (!allowed()) return false;
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("ActivateProcess(%1)").arg(pid));
    return true;
}

bool FakeShellExtension::MinimizeProcess(int pid) {
    if (!allowed()) return false;
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("MinimizeProcess(%1)").arg(pid));
    return true;
}

bool FakeShellExtension::SetSwipeGesturesDisabled(bool disabled) {
    if (!allowed()) return false;
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("SetSwipeGesturesDisabled(%1)").arg(disabled ? "true" : "false"));
    swipesDisabled_ = disabled;
    return true;
}

QStringList FakeKWinScripting::calls() const {
    QMutexLocker lock(&mutex_);
    return calls_;
}

QStringList FakeKWinScripting::loaded() const {
    QMutexLocker lock(&mutex_);
    QStringList names;
    for (const auto& [name, path] : loaded_) names.append(name);
    return names;
}

void FakeKWinScripting::setLoaded(const QString& name, const QString& path) {
    QMutexLocker lock(&mutex_);
    loaded_[name] = path;
}

void FakeKWinScripting::install(const QString& id, const QString& path, bool enabled) {
    QMutexLocker lock(&mutex_);
    installed_[id] = Package{path, enabled};
}

bool FakeKWinScripting::isScriptLoaded(const QString& name) {
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("isScriptLoaded(%1)").arg(name));
    return loaded_.count(name) > 0;
}

int FakeKWinScripting::loadScript(const QString& path, const QString& name) {
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("loadScript(%1, %2)").arg(path, name));
    if (loaded_.count(name) > 0) return -1;
    loaded_[name] = path;
    return nextId_++;
}

void FakeKWinScripting::start() {
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("start()"));
    for (const auto& [id, package] : installed_) {
        if (package.enabled) {
            loaded_.emplace(id, package.path);
        } else {
            loaded_.erase(id);
        }
    }
}

bool FakeKWinScripting::unloadScript(const QString& name) {
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("unloadScript(%1)").arg(name));
    return loaded_.erase(name) > 0;
}

}  // namespace glidra::test
