#pragma once

#include "platform/DesktopIntegration.h"
#include "platform/sim/SimAnswers.h"

namespace glidra::sim {

// A desktop whose kind, companion and answers the test sets; keeps the
// user's swipe choice as the real one does. The companion's answer to
// giving the swipes back can be held.
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
    QCoro::Task<bool> giveBackSystemSwipes() override {
        if (!swipesOff_ || !canSwitchOffSystemSwipes()) co_return true;
        ++givenBack_;
        co_await answers.turn();
        co_return true;
    }
    // How often the swipes were given back to the desktop.
    int swipesGivenBack() const { return givenBack_; }
    SimAnswers answers;

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
    int givenBack_ = 0;
};

}  // namespace glidra::sim
