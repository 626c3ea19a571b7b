#pragma once

#include "platform/FrontmostApplication.h"
#include "platform/Workspace.h"
#include "platform/linux/DesktopEntryMatcher.h"

#include <QDBusConnection>
#include <QHash>

#include <functional>

#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

namespace glidra::linux_platform {

class DesktopWindowBridge;
struct DesktopWindow;
class XcbConnection;

// Applications are desktop entries, read and started through GIO; URLs open
// with the desktop's default handlers. The one in front comes from the
// desktop's own add-on (the GNOME Shell extension, the KWin script) while it
// answers, which sees native Wayland windows too; otherwise, like the running
// applications, from the window manager's EWMH properties over X, which sees
// X11 and XWayland windows only: on a Wayland desktop the focus on a native
// Wayland window then reads as unknown, never as some other application.
//
// It is the program's one reader of the active window: it also answers
// FrontmostApplication for the controller and the dispatcher, from the front
// application it keeps up to date from the server's (or the add-on's) events,
// so asking costs nothing and every part names the same application.
class LinuxWorkspace final : public Workspace, public FrontmostApplication {
    Q_OBJECT

public:
    // The desktop entries that name applications: all of them, and the one
    // of a desktop-file id ("org.gnome.TextEditor.desktop") when installed.
    struct DesktopEntries {
        std::function<std::vector<DesktopEntryMatcher::Entry>()> all;
        std::function<std::optional<DesktopEntryMatcher::Entry>(const QString& desktopFileId)> find;

        // The installed entries, through GIO.
        static DesktopEntries installed();
    };

    // Connects to the X display of the environment, when there is one.
    // `bridge` (may be null) outlives the workspace.
    explicit LinuxWorkspace(DesktopWindowBridge* bridge = nullptr, QObject* parent = nullptr);
    // `x` may be unconnected; `waylandSession` says whether windows the server
    // does not know of can have the focus; the file manager is asked on
    // `sessionBus`.
    LinuxWorkspace(std::unique_ptr<XcbConnection> x, bool waylandSession,
                   QDBusConnection sessionBus = QDBusConnection::sessionBus(), DesktopWindowBridge* bridge = nullptr,
                   DesktopEntries entries = DesktopEntries::installed(), QObject* parent = nullptr);
    ~LinuxWorkspace() override;

    bool openUrl(const QUrl& url) override;
    bool openApplication(const QString& path) override;
    QCoro::Task<bool> showInFileManager(QString path) override;
    std::optional<QString> applicationLocation(const QString& bundleIdentifier) override;
    std::optional<QString> systemSettingsLocation() override;
    std::optional<QString> systemMonitorLocation() override;
    std::optional<QString> emojiPickerLocation() override;
    bool hasFilePreviewer() override;
    std::optional<ApplicationBundle> loadApplicationBundle(const QString& path) override;
    std::vector<InstalledApplication> installedApplications() override;
    std::vector<RunningApplication> runningApplications() override;
    FrontApplication frontmostApplication() const override { return front_; }
    bool activate(std::int32_t processIdentifier) override;
    bool hide(std::int32_t processIdentifier) override;

    std::optional<QString> bundleIdentifier() const override;
    std::optional<std::int32_t> processIdentifier() const override;

    // Whether the session runs on Wayland, from the environment.
    static bool isWaylandSession();
    // The desktop-file ids of the desktops' settings applications, the
    // current desktop's first.
    static QStringList systemSettingsCandidates(const QString& currentDesktop);
    // The desktop entries of the system monitors, those of the current
    // desktop first.
    static QStringList systemMonitorCandidates(const QString& currentDesktop);
    // The desktop entries of the emoji pickers, the current desktop's first.
    static QStringList emojiPickerCandidates(const QString& currentDesktop);

private:
    struct WindowInfo {
        std::uint32_t window = 0;
        std::optional<std::int32_t> processIdentifier;
        std::optional<RunningApplication> application;
        bool isRegular = false;
    };

    void processEvents();
    void checkEventsLater();
    void refreshFront();
    FrontApplication frontOfX();
    FrontApplication frontOf(const std::optional<DesktopWindow>& focused);
    WindowInfo describe(std::uint32_t window);
    std::optional<DesktopEntryMatcher::Entry> entryFor(std::int32_t processIdentifier, const QString& instance,
                                                       const QString& className, const QString& applicationId);
    // Client windows of the process, bottom of the stack first.
    std::vector<WindowInfo> windowsOf(std::int32_t processIdentifier);

    std::unique_ptr<XcbConnection> x_;
    DesktopWindowBridge* bridge_ = nullptr;
    bool waylandSession_ = false;
    QDBusConnection sessionBus_;
    DesktopEntries desktopEntries_;
    QSocketNotifier* notifier_ = nullptr;
    bool eventCheckPending_ = false;
    FrontApplication front_ = FrontApplication::unknown();
    // The desktop entry of each process and window class seen.
    static constexpr qsizetype kRememberedProcesses = 256;
    QHash<QString, std::optional<DesktopEntryMatcher::Entry>> entries_;
};

}  // namespace glidra::linux_platform
