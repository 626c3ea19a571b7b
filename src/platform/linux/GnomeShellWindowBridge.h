#pragma once

#include "platform/linux/DesktopWindowBridge.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QVariantMap>

namespace glidra::linux_platform {

// The program's GNOME Shell extension, on the session bus: it reports the
// focused window (with a signal on every change) and moves, resizes,
// maximises, minimises and closes windows through the shell's own calls.
//
// Both sides trust only each other. The program holds its own bus name
// (kClientService), and the extension answers and signals only the owner of
// that name. The program believes the extension's name only while GNOME
// Shell itself owns it (the owner of org.gnome.Shell), sends every call to
// that owner, and takes signals from it alone. Nothing blocks: reports and
// answers arrive through the event loop.
class GnomeShellWindowBridge final : public DesktopWindowBridge {
    Q_OBJECT

public:
    static constexpr const char* kService = "io.github.glidra.Glidra.Shell";
    static constexpr const char* kPath = "/io/github/glidra/Glidra/Shell";
    static constexpr const char* kInterface = "io.github.glidra.Glidra.Shell1";
    static constexpr const char* kShellService = "org.gnome.Shell";
    // The program's own name, the one the extension answers.
    static constexpr const char* kClientService = "io.github.glidra.Glidra";
    // A resize waits in the shell until the application drew its new size,
    // at most a quarter of a second.
    static constexpr int kRequestTimeoutMs = 1000;

    explicit GnomeShellWindowBridge(QDBusConnection bus, QObject* parent = nullptr);
    ~GnomeShellWindowBridge() override;

    bool isConnected() const override { return connected_; }
    std::optional<DesktopWindow> focusedWindow() const override { return focused_; }
    QCoro::Task<std::optional<QRectF>> frame(std::uint64_t window) override;
    QCoro::Task<bool> moveResize(std::uint64_t window, QRect frame) override;
    QCoro::Task<bool> maximize(std::uint64_t window) override;
    QCoro::Task<bool> minimize(std::uint64_t window) override;
    QCoro::Task<bool> close(std::uint64_t window) override;
    QCoro::Task<bool> activateProcess(std::int32_t processIdentifier) override;
    QCoro::Task<bool> minimizeProcess(std::int32_t processIdentifier) override;
    bool canSwitchOffSwipes() const override { return connected_ && swipesSupported_; }
    bool areSwipesOff() const override { return connected_ && swipesOff_; }
    QCoro::Task<bool> setSwipesOff(bool off) override;

    // The window a report describes; nothing for an empty report or one
    // without a usable handle.
    static std::optional<DesktopWindow> windowFrom(const QVariantMap& report);

private Q_SLOTS:
    void focusedWindowReported(const QVariantMap& report);
    void stateReported(const QVariantMap& state);

private:
    QCoro::Task<void> followOwners();
    QCoro::Task<void> ask();
    void ownersChanged();
    void takeState(const QVariantMap& state);
    void setConnected(bool connected);
    // The extension's answer to `method`; nothing while it is not believed
    // or when the call failed.
    QCoro::Task<std::optional<QList<QVariant>>> call(QString method, QList<QVariant> arguments);
    QCoro::Task<bool> succeeded(QString method, QList<QVariant> arguments);

    QDBusConnection bus_;
    QDBusServiceWatcher watcher_;
    bool ownsClientName_ = false;
    // The unique names behind the extension's name and the shell's.
    QString extensionOwner_;
    QString shellOwner_;
    // Count the owner changes seen, so that an older answer about an owner is
    // dropped.
    quint64 extensionOwnerChanges_ = 0;
    quint64 shellOwnerChanges_ = 0;
    bool connected_ = false;
    bool swipesSupported_ = false;
    bool swipesOff_ = false;
    std::optional<DesktopWindow> focused_;
    // Counts the questions asked, so that an answer overtaken by a newer
    // question is dropped.
    quint64 asking_ = 0;
    bool warnedForeignOwner_ = false;
};

}  // namespace glidra::linux_platform
