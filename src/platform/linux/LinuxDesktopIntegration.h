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
// handed to the extension whenever it comes up or says the swipes are on
// again, and given back when the program ends (the extension also restores
// them when the program's bus name goes, however the program ended).
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
    // Hands the choice to the extension whenever it does not hold it.
    void bridgeChanged();
    void apply(bool off);
    bool mayHaveSwipesOff() const;

    SystemGestureDesktop desktop_;
    Companion companion_;
    DesktopWindowBridge* bridge_;
    // The swipes were given back for the program's end.
    bool restored_ = false;
    UserDefaults& defaults_;
};

}  // namespace glidra::linux_platform
