#pragma once

#include "platform/linux/DesktopWindowBridge.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QVariantMap>

namespace glidra::linux_platform {

// The program's GNOME Shell extension, on the session bus: it reports the
// focused window (with a signal on every change) and moves, resizes,
// maximises, minimises and closes windows through the shell's own calls.
// Reports arrive without blocking; a request waits for its answer at most
// kRequestTimeoutMs, since the callers lay a window out in one go.
class GnomeShellWindowBridge final : public DesktopWindowBridge {
    Q_OBJECT

public:
    static constexpr const char* kService = "io.github.glidra.Glidra.Shell";
    static constexpr const char* kPath = "/io/github/glidra/Glidra/Shell";
    static constexpr const char* kInterface = "io.github.glidra.Glidra.Shell1";
    // A resize waits in the shell until the application drew its new size,
    // at most a quarter of a second.
    static constexpr int kRequestTimeoutMs = 600;

    explicit GnomeShellWindowBridge(QDBusConnection bus, QObject* parent = nullptr);

    bool isConnected() const override { return connected_; }
    std::optional<DesktopWindow> focusedWindow() const override { return focused_; }
    std::optional<QRectF> frame(std::uint64_t window) override;
    bool moveResize(std::uint64_t window, const QRect& frame) override;
    bool maximize(std::uint64_t window) override;
    bool minimize(std::uint64_t window) override;
    bool close(std::uint64_t window) override;
    bool activateProcess(std::int32_t processIdentifier) override;
    bool minimizeProcess(std::int32_t processIdentifier) override;
    bool canSwitchOffSwipes() const override { return connected_ && swipesSupported_; }
    bool setSwipesOff(bool off) override;

    // The window a report describes; nothing for an empty report or one
    // without a usable handle.
    static std::optional<DesktopWindow> windowFrom(const QVariantMap& report);

private Q_SLOTS:
    void focusedWindowReported(const QVariantMap& report);

private:
    void ask();
    void setConnected(bool connected);
    std::optional<QList<QVariant>> call(const QString& method, const QList<QVariant>& arguments);
    bool succeeded(const QString& method, const QList<QVariant>& arguments);

    QDBusConnection bus_;
    QDBusServiceWatcher watcher_;
    bool connected_ = false;
    bool swipesSupported_ = false;
    std::optional<DesktopWindow> focused_;
    // Counts the answers asked for, so that an answer overtaken by a newer
    // question is dropped.
    quint64 asking_ = 0;
};

}  // namespace glidra::linux_platform
