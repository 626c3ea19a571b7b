#pragma once

#include "platform/DesktopPreferences.h"

namespace glidra::sim {

// The desktop-icons switch in memory, with a desktop that may be missing and
// writes that may fail.
class SimDesktopPreferences final : public DesktopPreferences {
public:
    std::optional<DefaultsValue> showDesktopIcons() const override { return stored_; }
    void setShowDesktopIcons(const std::optional<DefaultsValue>& value) override { staged_ = value; }
    bool synchronize() override {
        ++synchronizations_;
        if (synchronizeFails_) return false;
        stored_ = staged_;
        return true;
    }
    bool reloadDesktop() override {
        if (!desktopRunning_ || reloadFails_) return false;
        ++reloads_;
        return true;
    }

    // A value stored from outside, as another program would.
    void store(std::optional<DefaultsValue> value) { stored_ = staged_ = std::move(value); }
    void setSynchronizeFails(bool fails) { synchronizeFails_ = fails; }
    void setDesktopRunning(bool running) { desktopRunning_ = running; }
    void setReloadFails(bool fails) { reloadFails_ = fails; }
    int reloads() const { return reloads_; }
    int synchronizations() const { return synchronizations_; }

private:
    std::optional<DefaultsValue> stored_;
    std::optional<DefaultsValue> staged_;
    bool synchronizeFails_ = false;
    bool desktopRunning_ = true;
    bool reloadFails_ = false;
    int reloads_ = 0;
    int synchronizations_ = 0;
};

}  // namespace glidra::sim
