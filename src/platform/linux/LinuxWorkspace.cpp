#include "platform/linux/LinuxWorkspace.h"

#include "platform/LogCategories.h"
#include "platform/linux/CurrentDesktop.h"
#include "platform/linux/DBusCall.h"
#include "platform/linux/DesktopWindowBridge.h"
#include "platform/linux/XcbConnection.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <gio/gdesktopappinfo.h>

#include <algorithm>

namespace glidra::linux_platform {

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using DesktopAppInfo = std::unique_ptr<GDesktopAppInfo, GObjectUnref>;

QString fromUtf8(const char* text) { return text ? QString::fromUtf8(text) : QString(); }

QString displayName(GAppInfo* app) {
    QString name = fromUtf8(g_app_info_get_display_name(app));
    return name.isEmpty() ? fromUtf8(g_app_info_get_name(app)) : name;
}

DesktopEntryMatcher::Entry entryOf(GDesktopAppInfo* info) {
    GAppInfo* app = G_APP_INFO(info);
    const char* filename = g_desktop_app_info_get_filename(info);
    return {fromUtf8(g_app_info_get_id(app)), filename ? QFile::decodeName(filename) : QString(),
            fromUtf8(g_desktop_app_info_get_startup_wm_class(info)), displayName(app)};
}

std::vector<DesktopEntryMatcher::Entry> installedEntries() {
    std::vector<DesktopEntryMatcher::Entry> entries;
    GList* all = g_app_info_get_all();
    for (GList* item = all; item; item = item->next) {
        if (G_IS_DESKTOP_APP_INFO(item->data)) entries.push_back(entryOf(G_DESKTOP_APP_INFO(item->data)));
    }
    g_list_free_full(all, g_object_unref);
    return entries;
}

// The desktop's add-on carries the request out while the caller goes on; a
// refusal is only logged.
QCoro::Task<void> reportRefusal(QCoro::Task<bool> request, const char* what) {
    if (!co_await request) qCWarning(lcServices) << "the desktop's add-on did not" << what << "the application";
}

bool contains(const std::vector<std::uint32_t>& atoms, std::uint32_t atom) {
    return atom != ewmh::kAtomNone && std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

bool openWithDefaultHandler(const QUrl& url) {
    // Settings-pane links in stored actions ("x-apple.…") name panes no
    // Linux desktop has; nothing here can open them.
    if (url.scheme().startsWith(QLatin1String("x-apple."), Qt::CaseInsensitive)) return false;
    if (!url.isValid() || url.isEmpty()) return false;

    const QByteArray uri = url.toEncoded();
    GError* error = nullptr;
    const gboolean launched = g_app_info_launch_default_for_uri(uri.constData(), nullptr, &error);
    if (error) g_error_free(error);
    return launched;
}

}  // namespace

bool LinuxWorkspace::isWaylandSession() {
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

LinuxWorkspace::DesktopEntries LinuxWorkspace::DesktopEntries::installed() {
    return {installedEntries, [](const QString& desktopFileId) -> std::optional<DesktopEntryMatcher::Entry> {
                if (desktopFileId.isEmpty()) return std::nullopt;
                const QByteArray id = desktopFileId.toUtf8();
                const DesktopAppInfo info(g_desktop_app_info_new(id.constData()));
                if (!info) return std::nullopt;
                return entryOf(info.get());
            }};
}

LinuxWorkspace::LinuxWorkspace(DesktopWindowBridge* bridge, QObject* parent)
    : LinuxWorkspace(std::make_unique<XcbConnection>(), isWaylandSession(), QDBusConnection::sessionBus(), bridge,
                     DesktopEntries::installed(), parent) {}

LinuxWorkspace::LinuxWorkspace(std::unique_ptr<XcbConnection> x, bool waylandSession, QDBusConnection sessionBus,
                               DesktopWindowBridge* bridge, DesktopEntries entries, QObject* parent)
    : Workspace(parent),
      x_(std::move(x)),
      bridge_(bridge),
      waylandSession_(waylandSession),
      sessionBus_(std::move(sessionBus)),
      desktopEntries_(std::move(entries)) {
    if (bridge_) {
        connect(bridge_, &DesktopWindowBridge::focusedWindowChanged, this, &LinuxWorkspace::refreshFront);
        connect(bridge_, &DesktopWindowBridge::connectionChanged, this, &LinuxWorkspace::refreshFront);
    }
    if (!x_ || !x_->isConnected()) {
        refreshFront();
        return;
    }
    x_->selectPropertyChanges(x_->root());
    notifier_ = new QSocketNotifier(x_->fileDescriptor(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &LinuxWorkspace::processEvents);
    refreshFront();
    checkEventsLater();
}

LinuxWorkspace::~LinuxWorkspace() = default;

void LinuxWorkspace::processEvents() {
    eventCheckPending_ = false;
    for (;;) {
        bool activeChanged = false;
        while (const auto event = x_->pollEvent()) {
            activeChanged =
                activeChanged || (event->kind == XcbConnection::Event::Kind::propertyChanged &&
                                  event->window == x_->root() && event->atom == x_->atom("_NET_ACTIVE_WINDOW"));
        }
        if (!x_->isConnected()) {
            // The server went away (XWayland stopped): only the desktop's
            // add-on can tell now.
            notifier_->setEnabled(false);
            refreshFront();
            return;
        }
        if (!activeChanged) return;
        // Its requests may take in further events, which the socket then no
        // longer announces.
        refreshFront();
    }
}

// Every request that waits for its answer reads whatever events arrived
// meanwhile into the connection's queue, where the socket no longer
// announces them: they are looked at once the event loop comes back.
void LinuxWorkspace::checkEventsLater() {
    if (eventCheckPending_ || !x_ || !x_->isConnected()) return;
    eventCheckPending_ = true;
    QMetaObject::invokeMethod(this, &LinuxWorkspace::processEvents, Qt::QueuedConnection);
}

void LinuxWorkspace::refreshFront() {
    const FrontApplication front = bridge_ && bridge_->isConnected() ? frontOf(bridge_->focusedWindow()) : frontOfX();
    const bool changed = front.application && front.application != front_.application;
    front_ = front;
    if (changed) Q_EMIT applicationActivated(*front_.application);
}

FrontApplication LinuxWorkspace::frontOfX() {
    if (!x_ || !x_->isConnected()) return FrontApplication::unknown();
    const std::optional<std::uint32_t> active =
        ewmh::activeWindow(x_->property(x_->root(), "_NET_ACTIVE_WINDOW", ewmh::kAtomWindow));
    // A window manager without EWMH says nothing about the focus.
    if (!active) return FrontApplication::unknown();
    // On Wayland no X window has the focus whenever a Wayland one does.
    if (*active == 0) return waylandSession_ ? FrontApplication::unknown() : FrontApplication::nothing();
    const WindowInfo info = describe(*active);
    return info.application ? FrontApplication::of(*info.application) : FrontApplication::unknown();
}

// The desktop's add-on names the application by the desktop entry its shell
// matched; the entry is checked to be installed, and otherwise found as for
// an X window, from the process and the application id.
FrontApplication LinuxWorkspace::frontOf(const std::optional<DesktopWindow>& focused) {
    if (!focused) return FrontApplication::nothing();
    if (!focused->processIdentifier) return FrontApplication::unknown();
    RunningApplication application;
    application.processIdentifier = *focused->processIdentifier;
    QString id = focused->desktopEntry;
    if (!id.isEmpty() && !id.endsWith(QLatin1String(".desktop"))) id += QLatin1String(".desktop");
    if (const auto named = desktopEntries_.find(id)) {
        application.bundleIdentifier = id;
        application.localizedName = named->displayName;
    } else if (const auto entry = entryFor(*focused->processIdentifier, focused->resourceClass, focused->resourceClass,
                                           focused->resourceClass)) {
        application.bundleIdentifier = entry->id;
        application.localizedName = entry->displayName;
    }
    if (application.localizedName.isEmpty()) {
        application.localizedName = focused->resourceClass.isEmpty() ? focused->title : focused->resourceClass;
    }
    return FrontApplication::of(application);
}

LinuxWorkspace::WindowInfo LinuxWorkspace::describe(std::uint32_t window) {
    WindowInfo info;
    info.window = window;
    info.processIdentifier = ewmh::processIdentifier(x_->property(window, "_NET_WM_PID", ewmh::kAtomCardinal));
    const std::optional<ewmh::WmClass> windowClass = ewmh::wmClass(x_->property(window, "WM_CLASS", ewmh::kAtomString));
    const std::uint32_t utf8 = x_->atom("UTF8_STRING");
    const QString applicationId =
        ewmh::utf8String(x_->property(window, "_GTK_APPLICATION_ID", utf8), utf8).value_or(QString());

    const std::vector<std::uint32_t> types = ewmh::atoms(x_->property(window, "_NET_WM_WINDOW_TYPE", ewmh::kAtomAtom));
    const std::vector<std::uint32_t> states = ewmh::atoms(x_->property(window, "_NET_WM_STATE", ewmh::kAtomAtom));
    const bool normalType = types.empty() || contains(types, x_->atom("_NET_WM_WINDOW_TYPE_NORMAL")) ||
                            contains(types, x_->atom("_NET_WM_WINDOW_TYPE_DIALOG"));
    info.isRegular = normalType && !contains(states, x_->atom("_NET_WM_STATE_SKIP_TASKBAR"));

    // A window that does not say which process owns it stays unknown.
    if (!info.processIdentifier) return info;
    const ewmh::WmClass names = windowClass.value_or(ewmh::WmClass{});

    RunningApplication application;
    application.processIdentifier = *info.processIdentifier;
    application.activationPolicy = info.isRegular ? ActivationPolicy::regular : ActivationPolicy::accessory;
    if (const auto entry = entryFor(*info.processIdentifier, names.instance, names.className, applicationId)) {
        application.bundleIdentifier = entry->id;
        application.localizedName = entry->displayName;
    }
    if (application.localizedName.isEmpty()) {
        application.localizedName = names.className.isEmpty() ? names.instance : names.className;
    }
    info.application = application;
    return info;
}

std::optional<DesktopEntryMatcher::Entry> LinuxWorkspace::entryFor(std::int32_t processIdentifier,
                                                                   const QString& instance, const QString& className,
                                                                   const QString& applicationId) {
    const QString key = QString::number(processIdentifier) + QLatin1Char('\n') + instance + QLatin1Char('\n') +
                        className + QLatin1Char('\n') + applicationId;
    if (const auto it = entries_.constFind(key); it != entries_.constEnd()) return *it;

    QFile environment(QStringLiteral("/proc/%1/environ").arg(processIdentifier));
    const QByteArray variables = environment.open(QIODevice::ReadOnly) ? environment.readAll() : QByteArray();
    const DesktopEntryMatcher::Window window{instance, className,
                                             ewmh::launchedDesktopFile(variables, processIdentifier), applicationId};
    const std::optional<DesktopEntryMatcher::Entry> entry = DesktopEntryMatcher::match(window, desktopEntries_.all());
    // Processes come and go over a long session; the answers are cheap to
    // find again.
    if (entries_.size() >= kRememberedProcesses) entries_.clear();
    entries_.insert(key, entry);
    return entry;
}

std::vector<RunningApplication> LinuxWorkspace::runningApplications() {
    std::vector<RunningApplication> applications;
    if (!x_ || !x_->isConnected()) return applications;
    for (std::uint32_t window : ewmh::windowList(x_->property(x_->root(), "_NET_CLIENT_LIST", ewmh::kAtomWindow))) {
        const WindowInfo info = describe(window);
        if (!info.application) continue;
        auto existing = std::find_if(applications.begin(), applications.end(), [&](const RunningApplication& known) {
            return known.processIdentifier == info.application->processIdentifier;
        });
        if (existing == applications.end()) {
            applications.push_back(*info.application);
        } else if (info.isRegular) {
            // An application with one ordinary window is a regular one,
            // whatever its tool windows are.
            existing->activationPolicy = ActivationPolicy::regular;
        }
    }
    checkEventsLater();
    return applications;
}

std::vector<LinuxWorkspace::WindowInfo> LinuxWorkspace::windowsOf(std::int32_t processIdentifier) {
    std::vector<WindowInfo> windows;
    if (!x_ || !x_->isConnected()) return windows;
    const auto stacking = ewmh::windowList(x_->property(x_->root(), "_NET_CLIENT_LIST_STACKING", ewmh::kAtomWindow));
    for (std::uint32_t window : stacking) {
        WindowInfo info = describe(window);
        if (info.processIdentifier == processIdentifier && info.isRegular) windows.push_back(std::move(info));
    }
    checkEventsLater();
    return windows;
}

bool LinuxWorkspace::activate(std::int32_t processIdentifier) {
    if (bridge_ && bridge_->isConnected()) {
        auto activating = reportRefusal(bridge_->activateProcess(processIdentifier), "activate");
        Q_UNUSED(activating);
        return true;
    }
    const std::vector<WindowInfo> windows = windowsOf(processIdentifier);
    if (windows.empty()) return false;
    const std::uint32_t active =
        ewmh::activeWindow(x_->property(x_->root(), "_NET_ACTIVE_WINDOW", ewmh::kAtomWindow)).value_or(0);
    const bool sent = x_->send(ewmh::activateWindow(x_->atom("_NET_ACTIVE_WINDOW"), windows.back().window, active));
    checkEventsLater();
    return sent;
}

bool LinuxWorkspace::hide(std::int32_t processIdentifier) {
    if (bridge_ && bridge_->isConnected()) {
        auto hiding = reportRefusal(bridge_->minimizeProcess(processIdentifier), "minimise");
        Q_UNUSED(hiding);
        return true;
    }
    const std::vector<WindowInfo> windows = windowsOf(processIdentifier);
    bool hidden = !windows.empty();
    for (const WindowInfo& info : windows)
        hidden = x_->send(ewmh::iconify(x_->atom("WM_CHANGE_STATE"), info.window)) && hidden;
    x_->flush();
    checkEventsLater();
    return hidden;
}

std::optional<QString> LinuxWorkspace::bundleIdentifier() const {
    return front_.application ? front_.application->bundleIdentifier : std::nullopt;
}

std::optional<std::int32_t> LinuxWorkspace::processIdentifier() const {
    if (!front_.application) return std::nullopt;
    return front_.application->processIdentifier;
}

bool LinuxWorkspace::openUrl(const QUrl& url) { return openWithDefaultHandler(url); }

bool LinuxWorkspace::openApplication(const QString& path) {
    if (path.isEmpty()) return false;
    const QByteArray filename = QFile::encodeName(path);
    const DesktopAppInfo info(g_desktop_app_info_new_from_filename(filename.constData()));
    if (!info) return false;
    GError* error = nullptr;
    const gboolean launched = g_app_info_launch(G_APP_INFO(info.get()), nullptr, nullptr, &error);
    if (error) g_error_free(error);
    return launched;
}

QCoro::Task<bool> LinuxWorkspace::showInFileManager(QString path) {
    const QString service = QStringLiteral("org.freedesktop.FileManager1");
    QDBusConnection bus = sessionBus_;
    auto checking = serviceAvailable(bus, service);
    if (co_await checking) {
        QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/FileManager1"),
                                                           service, QStringLiteral("ShowItems"));
        call.setArguments({QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)}, QString()});
        // A file manager that starts on demand can take a while; nobody waits
        // for its answer.
        if (bus.send(call)) co_return true;
    }
    // Without one, the folder that holds the item opens instead.
    co_return openWithDefaultHandler(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

std::optional<QString> LinuxWorkspace::applicationLocation(const QString& bundleIdentifier) {
    if (bundleIdentifier.isEmpty()) return std::nullopt;
    const QByteArray id = bundleIdentifier.toUtf8();
    const DesktopAppInfo info(g_desktop_app_info_new(id.constData()));
    if (!info) return std::nullopt;
    const char* filename = g_desktop_app_info_get_filename(info.get());
    if (!filename) return std::nullopt;
    return QFile::decodeName(filename);
}

namespace {

struct DesktopEntries {
    const char* desktop;  // as XDG_CURRENT_DESKTOP names it
    QStringList ids;
};

// The entries of the desktop in use first, then every other desktop's.
QStringList currentDesktopFirst(std::initializer_list<DesktopEntries> desktops, const QString& currentDesktop) {
    QStringList current;
    QStringList others;
    for (const DesktopEntries& entries : desktops) {
        const bool isCurrent = namesDesktop(currentDesktop, QString::fromLatin1(entries.desktop));
        (isCurrent ? current : others) << entries.ids;
    }
    // Desktops share some programs; each is tried once, at its first place.
    QStringList all = current + others;
    all.removeDuplicates();
    return all;
}

}  // namespace

QStringList LinuxWorkspace::systemSettingsCandidates(const QString& currentDesktop) {
    return currentDesktopFirst(
        {
            {"GNOME", {QStringLiteral("org.gnome.Settings.desktop"), QStringLiteral("gnome-control-center.desktop")}},
            {"KDE", {QStringLiteral("systemsettings.desktop"), QStringLiteral("kdesystemsettings.desktop")}},
            {"XFCE", {QStringLiteral("xfce-settings-manager.desktop")}},
            {"X-Cinnamon", {QStringLiteral("cinnamon-settings.desktop")}},
            {"MATE", {QStringLiteral("mate-control-center.desktop")}},
            {"Budgie", {QStringLiteral("budgie-control-center.desktop")}},
            {"LXQt", {QStringLiteral("lxqt-config.desktop")}},
        },
        currentDesktop);
}

QStringList LinuxWorkspace::systemMonitorCandidates(const QString& currentDesktop) {
    const QStringList gnome{QStringLiteral("org.gnome.SystemMonitor.desktop"),
                            QStringLiteral("gnome-system-monitor.desktop")};
    return currentDesktopFirst(
        {
            {"GNOME", gnome},
            {"KDE",
             {QStringLiteral("org.kde.plasma-systemmonitor.desktop"), QStringLiteral("org.kde.ksysguard.desktop")}},
            {"XFCE", {QStringLiteral("xfce4-taskmanager.desktop")}},
            {"X-Cinnamon", gnome},
            {"MATE", {QStringLiteral("mate-system-monitor.desktop")}},
            {"Budgie", gnome},
            {"LXQt", {QStringLiteral("qps.desktop"), QStringLiteral("lxtask.desktop")}},
            {"LXDE", {QStringLiteral("lxtask.desktop")}},
        },
        currentDesktop);
}

std::optional<QString> LinuxWorkspace::systemSettingsLocation() {
    for (const QString& id : systemSettingsCandidates(linux_platform::currentDesktop())) {
        if (auto location = applicationLocation(id)) return location;
    }
    return std::nullopt;
}

std::optional<QString> LinuxWorkspace::systemMonitorLocation() {
    for (const QString& id : systemMonitorCandidates(linux_platform::currentDesktop())) {
        if (auto location = applicationLocation(id)) return location;
    }
    return std::nullopt;
}

QStringList LinuxWorkspace::emojiPickerCandidates(const QString& currentDesktop) {
    return currentDesktopFirst(
        {
            {"KDE", {QStringLiteral("org.kde.plasma.emojier.desktop")}},
            {"GNOME", {QStringLiteral("org.gnome.Characters.desktop"), QStringLiteral("gnome-characters.desktop")}},
        },
        currentDesktop);
}

std::optional<QString> LinuxWorkspace::emojiPickerLocation() {
    for (const QString& id : emojiPickerCandidates(linux_platform::currentDesktop())) {
        if (auto location = applicationLocation(id)) return location;
    }
    return std::nullopt;
}

bool LinuxWorkspace::hasFilePreviewer() {
    // Sushi has no desktop entry: Files starts it on the session bus, through
    // the service file the bus reads from the data folders.
    return !QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                   QStringLiteral("dbus-1/services/org.gnome.NautilusPreviewer.service"))
                .isEmpty();
}

namespace {

ApplicationBundle bundleOf(GDesktopAppInfo* info) {
    GAppInfo* app = G_APP_INFO(info);
    ApplicationBundle bundle;
    if (const char* id = g_app_info_get_id(app)) bundle.bundleIdentifier = QString::fromUtf8(id);
    bundle.displayName = displayName(app);
    // A themed icon's first name, or a file icon's path, as Icon= gives it.
    if (char* icon = g_desktop_app_info_get_string(info, G_KEY_FILE_DESKTOP_KEY_ICON)) {
        const QString name = QString::fromUtf8(icon).trimmed();
        g_free(icon);
        if (!name.isEmpty()) bundle.iconName = name;
    }
    return bundle;
}

}  // namespace

std::optional<ApplicationBundle> LinuxWorkspace::loadApplicationBundle(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    const QByteArray filename = QFile::encodeName(path);
    const DesktopAppInfo info(g_desktop_app_info_new_from_filename(filename.constData()));
    if (!info) return std::nullopt;
    return bundleOf(info.get());
}

// What the desktop's menus show: entries neither hidden nor kept from this
// desktop (NoDisplay, Hidden, OnlyShowIn, NotShowIn), the user's own
// entries in place of the system's of the same id.
std::vector<InstalledApplication> LinuxWorkspace::installedApplications() {
    std::vector<InstalledApplication> applications;
    GList* all = g_app_info_get_all();
    for (GList* item = all; item; item = item->next) {
        if (!G_IS_DESKTOP_APP_INFO(item->data) || !g_app_info_should_show(G_APP_INFO(item->data))) continue;
        auto* info = G_DESKTOP_APP_INFO(item->data);
        const char* filename = g_desktop_app_info_get_filename(info);
        if (!filename) continue;
        applications.push_back({QFile::decodeName(filename), bundleOf(info)});
    }
    g_list_free_full(all, g_object_unref);
    return applications;
}

}  // namespace glidra::linux_platform
