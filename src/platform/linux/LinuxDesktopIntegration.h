#pragma once

#include "platform/DesktopIntegration.h"

#include <QDBusConnection>

#include <memory>

namespace glidra {
class UserDefaults;
}

namespace glidra::linux_platform {

class DesktopWindowBridge;

// The running desktop (from XDG_CURRENT_DESKTOP and the session type), the
// add-on the program ships for it, and the user's choice to have GNOME's
// three-finger swipes off while the program runs: kept in the user defaults,
// handed to the extension whenever it comes up, and given back when the
// program ends (the extension also restores them when the program leaves
// the bus without a word).
class LinuxDesktopIntegration final : public DesktopIntegration {
    Q_OBJECT

public:
    static constexpr const char* kSwipesOffKey = "gnomeThreeFingerSwipesOff";

    // `bridge` may be null; it and `defaults` outlive this object.
    LinuxDesktopIntegration(SystemGestureDesktop desktop, Companion companion, DesktopWindowBridge* bridge,
                            UserDefaults& defaults, QObject* parent = nullptr);
    ~LinuxDesktopIntegration() override;

    SystemGestureDesktop gestureDesktop() const override { return desktop_; }
    Companion companion() const override { return companion_; }
    bool isCompanionConnected() const override;
    bool systemSwipesOff() const override;
    void setSystemSwipesOff(bool off) override;
    bool canSwitchOffSystemSwipes() const override;
    QCoro::Task<bool> giveBackSystemSwipes() override;

    // From XDG_CURRENT_DESKTOP's list and whether the session is Wayland.
    static SystemGestureDesktop gestureDesktopOf(const QString& currentDesktop, bool waylandSession);
    static Companion companionOf(const QString& currentDesktop, bool waylandSession);
    // The add-on's client for `companion`, on `sessionBus`; null for none.
    static std::unique_ptr<DesktopWindowBridge> makeBridge(Companion companion, QDBusConnection sessionBus);

private:
    void bridgeConnectionChanged();

    SystemGestureDesktop desktop_;
    Companion companion_;
    DesktopWindowBridge* bridge_;
    UserDefaults& defaults_;
    // The program is ending and the swipes went back to the desktop.
    bool givenBack_ = false;
};

}  // namespace glidra::linux_platform
