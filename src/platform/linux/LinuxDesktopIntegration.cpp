#include "platform/linux/LinuxDesktopIntegration.h"

#include "platform/LogCategories.h"

#include "platform/UserDefaults.h"
#include "platform/linux/CurrentDesktop.h"
#include "platform/linux/DesktopWindowBridge.h"
#include "platform/linux/GnomeShellWindowBridge.h"
#include "platform/linux/KWinScriptWindowBridge.h"

#include <QLoggingCategory>
#include <QPointer>
#include <QStandardPaths>

namespace glidra::linux_platform {

namespace {

const QString kSwipesOff = QString::fromLatin1(LinuxDesktopIntegration::kSwipesOffKey);

}  // namespace

LinuxDesktopIntegration::LinuxDesktopIntegration(SystemGestureDesktop desktop, Companion companion,
                                                 DesktopWindowBridge* bridge, UserDefaults& defaults, QObject* parent)
    : DesktopIntegration(parent), desktop_(desktop), companion_(companion), bridge_(bridge), defaults_(defaults) {
    if (!bridge_) return;
    connect(bridge_, &DesktopWindowBridge::connectionChanged, this, &LinuxDesktopIntegration::bridgeChanged);
    connect(bridge_, &DesktopWindowBridge::swipesChanged, this, &LinuxDesktopIntegration::bridgeChanged);
    bridgeChanged();
}

LinuxDesktopIntegration::~LinuxDesktopIntegration() {
    // The swipes are the user's again once the program stops; nothing waits
    // here for the answer (giveBackSystemSwipes does).
    if (mayHaveSwipesOff()) {
        auto restoring = bridge_->setSwipesOff(false);
        Q_UNUSED(restoring);
    }
}

SystemGestureDesktop LinuxDesktopIntegration::gestureDesktopOf(const QString& currentDesktop, bool waylandSession) {
    if (namesDesktop(currentDesktop, u"GNOME")) return SystemGestureDesktop::gnome;
    if (namesDesktop(currentDesktop, u"KDE")) {
        return waylandSession ? SystemGestureDesktop::plasmaWayland : SystemGestureDesktop::withoutGestures;
    }
    if (!waylandSession) {
        for (const QStringView quiet : {u"XFCE", u"MATE", u"LXQt", u"LXDE"}) {
            if (namesDesktop(currentDesktop, quiet)) return SystemGestureDesktop::withoutGestures;
        }
    }
    return SystemGestureDesktop::unknown;
}

DesktopIntegration::Companion LinuxDesktopIntegration::companionOf(const QString& currentDesktop, bool waylandSession) {
    // The extension serves GNOME on X11 too: its switch for the swipes.
    if (namesDesktop(currentDesktop, u"GNOME")) return Companion::gnomeShellExtension;
    // On X11 KWin's windows are X windows.
    if (waylandSession && namesDesktop(currentDesktop, u"KDE")) return Companion::kwinScript;
    return Companion::none;
}

std::unique_ptr<DesktopWindowBridge> LinuxDesktopIntegration::makeBridge(Companion companion,
                                                                         QDBusConnection sessionBus) {
    switch (companion) {
        case Companion::gnomeShellExtension:
            return std::make_unique<GnomeShellWindowBridge>(std::move(sessionBus));
        case Companion::kwinScript:
            return std::make_unique<KWinScriptWindowBridge>(
                std::move(sessionBus),
                QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                       QStringLiteral("kwin/scripts/glidra/contents/code/main.js")));
        case Companion::none:
            break;
    }
    return nullptr;
}

bool LinuxDesktopIntegration::isCompanionConnected() const { return bridge_ && bridge_->isConnected(); }

bool LinuxDesktopIntegration::systemSwipesOff() const { return defaults_.boolValue(kSwipesOff); }

bool LinuxDesktopIntegration::canSwitchOffSystemSwipes() const { return bridge_ && bridge_->canSwitchOffSwipes(); }

void LinuxDesktopIntegration::setSystemSwipesOff(bool off) {
    if (off == systemSwipesOff()) return;
    if (!defaults_.setValue(kSwipesOff, off)) {
        qCWarning(lcServices) << "could not keep the choice for the desktop's swipes:" << defaults_.failure();
    }
    if (canSwitchOffSystemSwipes()) apply(off);
    Q_EMIT changed();
}

namespace {

QCoro::Task<void> switchSwipes(QPointer<DesktopWindowBridge> bridge, bool off) {
    if (!bridge) co_return;
    auto switching = bridge->setSwipesOff(off);
    if (!co_await switching) {
        qCWarning(lcServices) << "the GNOME Shell extension did not switch the swipes" << (off ? "off" : "on");
    }
}

}  // namespace

void LinuxDesktopIntegration::apply(bool off) {
    auto switching = switchSwipes(bridge_, off);
    Q_UNUSED(switching);
}

void LinuxDesktopIntegration::bridgeChanged() {
    // A shell that restarted, or an extension switched off and on, has its
    // swipes back on.
    // Not once they were given back for the program's end.
    if (!restored_ && systemSwipesOff() && canSwitchOffSystemSwipes() && !bridge_->areSwipesOff()) apply(true);
    Q_EMIT changed();
}

// Off as the extension last said, or asked to be and its answer still on
// its way.
bool LinuxDesktopIntegration::mayHaveSwipesOff() const {
    return bridge_ && (bridge_->areSwipesOff() || (systemSwipesOff() && canSwitchOffSystemSwipes()));
}

QCoro::Task<bool> LinuxDesktopIntegration::giveBackSystemSwipes() {
    restored_ = true;
    if (!mayHaveSwipesOff()) co_return true;
    auto restoring = bridge_->setSwipesOff(false);
    co_return co_await restoring;
}

}  // namespace glidra::linux_platform
