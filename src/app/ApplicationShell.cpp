#include "app/ApplicationShell.h"

#include "app/ControlMenu.h"
#include "app/GlidraMenuBarIcon.h"
#include "app/SettingsWindow.h"
#include "app/UiContext.h"
#include "executors/MicrophoneMuteController.h"

#include <QMenu>
#include <QSystemTrayIcon>

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
    if (!environment_.hasTray) {
        openSettings();
        return;
    }
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
    if (!environment_.hasTray && !quitting_) quit();
    // Once it is gone, give the memory it took back to the system: the
    // allocator keeps freed pages otherwise, and the program runs all day.
    QMetaObject::invokeMethod(this, &ApplicationShell::returnFreedMemory, Qt::QueuedConnection);
}

void ApplicationShell::returnFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void ApplicationShell::quit() {
    if (quitting_) return;
    quitting_ = true;
    if (window_) {
        window_->close();
        // Closing only schedules the deletion; the loop may not run again.
        delete window_;
    }
    (void)environment_.context.microphone.restore();
    environment_.stopBridge();
    environment_.terminate();
}

}  // namespace glidra
