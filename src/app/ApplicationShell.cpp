#include "app/ApplicationShell.h"

#include "app/ControlMenu.h"
#include "app/GlidraMenuBarIcon.h"
#include "app/SettingsWindow.h"
#include "app/UiContext.h"
#include "executors/KeepAwakeController.h"
#include "executors/KeyboardLockController.h"
#include "executors/MicrophoneMuteController.h"
#include "platform/DesktopIntegration.h"
#include "platform/LogCategories.h"
#include "platform/Scheduler.h"
#include "platform/SystemTray.h"
#include "trackpad/TrackpadController.h"

#include <QMenu>
#include <QPixmapCache>
#include <QThreadPool>
// Qt keeps the font engines it loaded, and with them the font files it
// mapped, until its cache overflows; only the private cache can let them go.
#include <QtGui/private/qfont_p.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace glidra {

namespace {

// What the end still waits for, shared by the waits and the deadline.
struct WindingDown {
    std::function<void()> done;
    QStringList unconfirmed;
    TimerHandle deadline;

    void confirmed(const QString& what) {
        unconfirmed.removeOne(what);
        if (unconfirmed.isEmpty()) finish();
    }
    // From the event loop either way: whoever called windDown has finished
    // its own work first.
    void finish() {
        deadline.cancel();
        if (!done) return;
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::exchange(done, nullptr), Qt::QueuedConnection);
    }
};

QCoro::Task<void> confirm(QCoro::Task<bool> undoing, QString what, std::shared_ptr<WindingDown> state) {
    if (!co_await undoing) qCWarning(lcServices).noquote() << "the system did not take back" << what;
    state->confirmed(what);
}

QCoro::Task<bool> releasedKeepAwake(QCoro::Task<HUDNotice> releasing) {
    const HUDNotice notice = co_await releasing;
    co_return notice.kind != HUDNotice::Kind::error;
}

QCoro::Task<bool> keyboardSettled(QCoro::Task<void> settling) {
    co_await settling;
    co_return true;
}

}  // namespace

ApplicationShell::ApplicationShell(Environment environment, QObject* parent)
    : QObject(parent),
      environment_(std::move(environment)),
      icon_(std::make_unique<GlidraMenuBarIcon>(environment_.context)),
      menu_(std::make_unique<ControlMenu>(
          environment_.context, [this] { openSettings(); }, [this] { quit(); })) {}

ApplicationShell::~ApplicationShell() {
    if (trayIconShown_) environment_.tray.hideIcon();
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
    if (trayIconShown_ || quitting_) return;
    SystemTray& tray = environment_.tray;
    tray.showIcon(icon_->icon(), QStringLiteral("Glidra"), menu_->menu());
    trayIconShown_ = tray.isShowingIcon();
    if (!trayIconShown_) return;
    connect(icon_.get(), &GlidraMenuBarIcon::changed, this, [this] { environment_.tray.setIcon(icon_->icon()); });
    // Panels that send a plain click instead of opening the menu get the
    // menu too, as a menu-bar icon gives it.
    connect(&tray, &SystemTray::activated, this, [this](QPoint where) { menu_->menu()->popup(where); });
}

SettingsWindow* ApplicationShell::window() const { return window_; }

bool ApplicationShell::hasTrayIcon() const { return trayIconShown_; }

std::optional<QRect> ApplicationShell::trayIconGeometry() const {
    if (!trayIconShown_) return std::nullopt;
    return environment_.tray.iconGeometry();
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
    if (!trayIconShown_ && !quitting_) quit();
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

void ApplicationShell::windDown(UiContext& context, const std::function<void()>& stopBridge,
                                std::function<void()> done) {
    const auto state = std::make_shared<WindingDown>();
    state->done = std::move(done);
    const QString microphone = QStringLiteral("the microphone"), keepAwake = QStringLiteral("keep-awake"),
                  keyboard = QStringLiteral("the keyboard backlight"), swipes = QStringLiteral("the desktop's swipes");
    state->unconfirmed = {microphone, keepAwake, keyboard, swipes};
    state->deadline = context.scheduler.after(kWindDownSeconds, nullptr, [state] {
        qCWarning(lcServices).noquote() << "quitting without the system's word on" << state->unconfirmed.join(u", ");
        state->finish();
    });

    (void)context.microphone.restore();
    auto microphoneBack = confirm(context.microphone.settled(), microphone, state);
    context.keyboardLock.stop();
    auto keyboardBack = confirm(keyboardSettled(context.keyboardLock.settled()), keyboard, state);
    // Also when a request to keep awake still waits for its answer: the
    // release takes its turn after it.
    auto keepAwakeBack = confirm(releasedKeepAwake(context.keepAwake.setActive(false)), keepAwake, state);
    // Not a switch by the user: control stays remembered as it is.
    context.controller.stopListening();
    stopBridge();
    // Last: the desktop's add-on may take its time to answer.
    auto swipesBack = confirm(context.desktop.giveBackSystemSwipes(), swipes, state);
    Q_UNUSED(microphoneBack);
    Q_UNUSED(keyboardBack);
    Q_UNUSED(keepAwakeBack);
    Q_UNUSED(swipesBack);
}

void ApplicationShell::quit() {
    if (quitting_) return;
    quitting_ = true;
    // The system first: whatever the window's teardown does, the user's
    // microphone, keyboard and pointer are theirs again.
    windDown(environment_.context, environment_.stopBridge, [self = QPointer<ApplicationShell>(this)] {
        if (self) self->environment_.terminate();
    });
    if (window_) {
        window_->close();
        // Closing only schedules the deletion; the loop may not run again.
        delete window_;
    }
}

}  // namespace glidra
