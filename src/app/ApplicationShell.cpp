#include "app/ApplicationShell.h"

#include "app/ControlMenu.h"
#include "app/GlidraMenuBarIcon.h"
#include "app/SettingsWindow.h"
#include "app/UiContext.h"
#include "executors/KeepAwakeController.h"
#include "executors/KeyboardLockController.h"
#include "executors/MicrophoneMuteController.h"
#include "platform/SystemTray.h"
#include "trackpad/TrackpadController.h"

#include <QMenu>
#include <QPixmapCache>
#include <QThreadPool>
#include <QSystemTrayIcon>
// Qt keeps the font engines it loaded, and with them the font files it
// mapped, until its cache overflows; only the private cache can let them go.
#include <QtGui/private/qfont_p.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace glidra {

ApplicationShell::ApplicationShell(Environment environment, QObject* parent)
    : QObject(parent),
      environment_(std::move(environment)),
      icon_(std::make_unique<GlidraMenuBarIcon>(environment_.context)),
      menu_(std::make_unique<ControlMenu>(
          environment_.context, [this] { openSettings(); }, [this] { quit(); })) {}

ApplicationShell::~ApplicationShell() {
    delete tray_;
    delete window_;
}

void ApplicationShell::start() {
    if (environment_.tray.isAvailable()) {
        showTrayIcon();
        return;
    }
    // At login the panel often comes after the program.
    connect(&environment_.tray, &SystemTray::becameAvailable, this, &ApplicationShell::showTrayIcon);
    openSettings();
}

void ApplicationShell::showTrayIcon() {
    if (tray_ || quitting_) return;
    tray_ = new QSystemTrayIcon(icon_->icon());
    tray_->setObjectName(QStringLiteral("trayIcon"));
    tray_->setToolTip(QStringLiteral("Glidra"));
    tray_->setContextMenu(menu_->menu());
    connect(icon_.get(), &GlidraMenuBarIcon::changed, tray_, [this] { tray_->setIcon(icon_->icon()); });
    // Panels that send a plain click instead of opening the menu get the
    // menu too, as a menu-bar icon gives it.
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger) return;
        const auto geometry = trayIconGeometry();
        menu_->menu()->popup(geometry ? geometry->bottomLeft() : QCursor::pos());
    });
    tray_->show();
}

SettingsWindow* ApplicationShell::window() const { return window_; }

std::optional<QRect> ApplicationShell::trayIconGeometry() const {
    if (!tray_) return std::nullopt;
    const QRect geometry = tray_->geometry();
    if (!geometry.isValid() || geometry.isEmpty()) return std::nullopt;
    return geometry;
}

void ApplicationShell::openSettings() {
    if (quitting_) return;
    if (!window_) {
        window_ = new SettingsWindow(environment_.context, environment_.pages);
        connect(window_, &QObject::destroyed, this, &ApplicationShell::windowClosed);
    }
    window_->show();
    window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->raise();
    window_->activateWindow();
}

void ApplicationShell::windowClosed() {
    // The window is being destroyed: nothing may reach it any more.
    window_ = nullptr;
    // With no tray there is nothing left of the program to use.
    if (!tray_ && !quitting_) quit();
    // Once it is gone, give the memory it took back to the system: the
    // allocator keeps freed pages otherwise, and the program runs all day.
    QMetaObject::invokeMethod(this, &ApplicationShell::returnFreedMemory, Qt::QueuedConnection);
}

void ApplicationShell::returnFreedMemory() {
    // The window's icons and its fonts (the CJK faces alone map several
    // megabytes); whatever is shown later loads them again.
    QPixmapCache::clear();
    QFontCache::instance()->clear();
    // Qt's painting started the shared pool's threads; idle now, they would
    // keep their stacks and their allocator arenas for another half-minute.
    QThreadPool::globalInstance()->waitForDone(0);
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void ApplicationShell::windDown(UiContext& context, const std::function<void()>& stopBridge) {
    (void)context.microphone.restore();
    context.keyboardLock.stop();
    if (context.keepAwake.isActive()) (void)context.keepAwake.setActive(false);
    // Not a switch by the user: control stays remembered as it is.
    context.controller.stopListening();
    stopBridge();
}

void ApplicationShell::quit() {
    if (quitting_) return;
    quitting_ = true;
    // The system first: whatever the window's teardown does, the user's
    // microphone, keyboard and pointer are theirs again.
    windDown(environment_.context, environment_.stopBridge);
    if (window_) {
        window_->close();
        // Closing only schedules the deletion; the loop may not run again.
        delete window_;
    }
    environment_.terminate();
}

}  // namespace glidra
