#include "platform/linux/LinuxDesktopIntegration.h"

#include "platform/LogCategories.h"

#include "platform/UserDefaults.h"
#include "platform/linux/CurrentDesktop.h"
#include "platform/linux/DesktopWindowBridge.h"
#include "platform/linux/GnomeShellWindowBridge.h"
#include "platform/linux/KWinScriptWindowBridge.h"

#include <QLoggingCategory>
#include <QStandardPaths>

namespace glidra::linux_platform {

namespace {

const QString kSwipesOff = QString::fromLatin1(LinuxDesktopIntegration::kSwipesOffKey);

}  // namespace

LinuxDesktopIntegration::LinuxDesktopIntegration(SystemGestureDesktop desktop, Companion companion,
                                                 DesktopWindowBridge* bridge, UserDefaults& defaults, QObject* parent)
    : DesktopIntegration(parent), desktop_(desktop), companion_(companion), bridge_(bridge), defaults_(defaults) {
    if (!bridge_) return;
    connect(bridge_, &DesktopWindowBridge::connectionChanged, this, &LinuxDesktopIntegration::bridgeConnectionChanged);
    bridgeConnectionChanged();
}

LinuxDesktopIntegration::~LinuxDesktopIntegration() {
    // The swipes are the user's again once the program stops.
    if (!givenBack_ && systemSwipesOff() && canSwitchOffSystemSwipes()) bridge_->setSwipesOff(false);
}

QCoro::Task<bool> LinuxDesktopIntegration::giveBackSystemSwipes() {
    if (givenBack_ || !systemSwipesOff() || !canSwitchOffSystemSwipes()) co_return true;
    givenBack_ = true;
    // The bridge returns with the extension's answer.
    co_return bridge_->setSwipesOff(false);
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
    if (canSwitchOffSystemSwipes() && !bridge_->setSwipesOff(off)) {
        qCWarning(lcServices) << "the GNOME Shell extension did not switch the swipes" << (off ? "off" : "on");
    }
    Q_EMIT changed();
}

void LinuxDesktopIntegration::bridgeConnectionChanged() {
    // A shell that restarted has its swipes back on; while the program ends
    // they stay the desktop's.
    if (!givenBack_ && systemSwipesOff() && canSwitchOffSystemSwipes()) bridge_->setSwipesOff(true);
    Q_EMIT changed();
}

}  // namespace glidra::linux_platform
