#pragma once

#include "platform/DesktopPreferences.h"

namespace glidra::sim {

// The desktop-icons switch in memory, with a desktop that may be missing or
// have no switch, and writes that may fail.
class SimDesktopPreferences final : public DesktopPreferences {
public:
    bool hasDesktopIconsSwitch() const override { return hasSwitch_; }
    std::optional<DefaultsValue> showDesktopIcons() const override { return hasSwitch_ ? stored_ : std::nullopt; }
    void setShowDesktopIcons(const std::optional<DefaultsValue>& value) override { staged_ = value; }
    bool synchronize() override {
        ++synchronizations_;
        if (synchronizeFails_ || !hasSwitch_) return false;
        stored_ = staged_;
        return true;
    }
    bool reloadDesktop() override {
        if (!hasSwitch_ || !desktopRunning_ || reloadFails_) return false;
        ++reloads_;
        return true;
    }

    // A value stored from outside, as another program would.
    void store(std::optional<DefaultsValue> value) { stored_ = staged_ = std::move(value); }
    void setSynchronizeFails(bool fails) { synchronizeFails_ = fails; }
    void setDesktopRunning(bool running) { desktopRunning_ = running; }
    // A desktop that draws no icons another program may hide (GNOME, Plasma).
    void setHasSwitch(bool has) { hasSwitch_ = has; }
    void setReloadFails(bool fails) { reloadFails_ = fails; }
    int reloads() const { return reloads_; }
    int synchronizations() const { return synchronizations_; }

private:
    std::optional<DefaultsValue> stored_;
    std::optional<DefaultsValue> staged_;
    bool synchronizeFails_ = false;
    bool desktopRunning_ = true;
    bool hasSwitch_ = true;
    bool reloadFails_ = false;
    int reloads_ = 0;
    int synchronizations_ = 0;
};

}  // namespace glidra::sim
