#pragma once

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <optional>
#include <vector>

namespace glidra {

// What the program reads of an application the user chose. On Linux an
// application is a desktop entry and its desktop-file id stands in for the
// bundle identifier.
struct ApplicationBundle {
    std::optional<QString> bundleIdentifier;
    QString displayName;  // as the file manager or desktop shows it
    // The icon theme's name (or an absolute path) of its icon, when it has one.
    std::optional<QString> iconName = std::nullopt;

    friend bool operator==(const ApplicationBundle&, const ApplicationBundle&) = default;
};

// An application the desktop's menus list: its desktop entry and what it
// reads as.
struct InstalledApplication {
    QString path;
    ApplicationBundle bundle;

    friend bool operator==(const InstalledApplication&, const InstalledApplication&) = default;
};

// How an application takes part in the desktop: regular ones have windows the
// user switches between; accessory ones only panels, docks or tool windows;
// prohibited ones none at all.
enum class ActivationPolicy { regular, accessory, prohibited };

// One running application, as the desktop reports it.
struct RunningApplication {
    std::int32_t processIdentifier = 0;
    std::optional<QString> bundleIdentifier;  // on Linux, the matched desktop-file id
    QString localizedName;                    // empty when the desktop has none
    ActivationPolicy activationPolicy = ActivationPolicy::regular;
    bool isTerminated = false;

    friend bool operator==(const RunningApplication&, const RunningApplication&) = default;
};

// What the desktop can tell about the application in front. `unknown` is not
// `none`: something has the focus that the desktop cannot attribute (a native
// Wayland window, or no X server to ask), and the program must not guess.
struct FrontApplication {
    enum class State { none, unknown, known };

    State state = State::none;
    std::optional<RunningApplication> application;  // set exactly when known

    static FrontApplication nothing() { return {}; }
    static FrontApplication unknown() { return {State::unknown, std::nullopt}; }
    static FrontApplication of(RunningApplication application) { return {State::known, std::move(application)}; }

    friend bool operator==(const FrontApplication&, const FrontApplication&) = default;
};

// The desktop's workspace: the running applications and the one in front,
// opening things and finding applications. Signals arrive on the main thread.
class Workspace : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~Workspace() override = default;

    // Hands a URL (web address, file, folder, settings pane link) to its
    // default handler; false when nothing could open it.
    virtual bool openUrl(const QUrl& url) = 0;

    // Launches the application at `path`; false when it could not be started.
    virtual bool openApplication(const QString& path) = 0;

    // Shows the file or folder at `path` selected in the file manager,
    // without opening it; false when no file manager could show it. Answers
    // without blocking.
    virtual QCoro::Task<bool> showInFileManager(QString path) = 0;

    // The path of the installed application with this identifier, if any.
    virtual std::optional<QString> applicationLocation(const QString& bundleIdentifier) = 0;

    // The path of the desktop's own settings application, if one is installed.
    virtual std::optional<QString> systemSettingsLocation() = 0;
    // The path of the desktop's own system monitor (where a hung application
    // is ended), if one is installed.
    virtual std::optional<QString> systemMonitorLocation() = 0;
    // The path of an emoji picker of the desktops' own (Plasma's emoji
    // selector, GNOME's Characters), the current desktop's first, if one is
    // installed.
    virtual std::optional<QString> emojiPickerLocation() = 0;
    // Whether the previewer that the file manager opens on Space (GNOME's
    // Sushi, for Files) is installed.
    virtual bool hasFilePreviewer() = 0;

    // Reads the application at `path`; nothing when it is not a loadable
    // application.
    virtual std::optional<ApplicationBundle> loadApplicationBundle(const QString& path) = 0;

    // The applications the desktop's own menus show, in no particular order.
    virtual std::vector<InstalledApplication> installedApplications() = 0;

    // The running applications in the desktop's order.
    virtual std::vector<RunningApplication> runningApplications() = 0;

    // The application in front. Answered from what the desktop last reported,
    // so it is cheap enough to ask on every frame.
    virtual FrontApplication frontmostApplication() const = 0;

    // Brings the application's windows to the front; false when it refused or
    // is not running.
    virtual bool activate(std::int32_t processIdentifier) = 0;

    // Hides (minimises) the application's windows; false when it refused or
    // is not running.
    virtual bool hide(std::int32_t processIdentifier) = 0;

Q_SIGNALS:
    // Another application came to the front.
    void applicationActivated(const glidra::RunningApplication& application);
};

}  // namespace glidra
