#pragma once

#include "platform/DesktopIntegration.h"

namespace glidra::sim {

// A desktop whose kind, companion and answers the test sets; keeps the
// user's swipe choice as the real one does.
class SimDesktopIntegration final : public DesktopIntegration {
public:
    SystemGestureDesktop gestureDesktop() const override { return desktop_; }
    Companion companion() const override { return companion_; }
    bool isCompanionConnected() const override { return connected_; }
    bool systemSwipesOff() const override { return swipesOff_; }
    void setSystemSwipesOff(bool off) override {
        if (off == swipesOff_) return;
        swipesOff_ = off;
        Q_EMIT changed();
    }
    bool canSwitchOffSystemSwipes() const override {
        return connected_ && companion_ == Companion::gnomeShellExtension;
    }
    QCoro::Task<bool> restoreSystemSwipes() override {
        ++restores_;
        co_return true;
    }
    int restores() const { return restores_; }

    void setDesktop(SystemGestureDesktop desktop, Companion companion, bool connected) {
        desktop_ = desktop;
        companion_ = companion;
        connected_ = connected;
        Q_EMIT changed();
    }

private:
    SystemGestureDesktop desktop_ = SystemGestureDesktop::withoutGestures;
    Companion companion_ = Companion::none;
    bool connected_ = false;
    bool swipesOff_ = false;
    int restores_ = 0;
};

}  // namespace glidra::sim
