#pragma once

#include "platform/SystemTray.h"

namespace glidra::sim {

// A tray the test puts there, at start or later.
class SimSystemTray final : public SystemTray {
    Q_OBJECT
public:
    explicit SimSystemTray(bool available = false) : available_(available) {}
    bool isAvailable() const override { return available_; }
    // The panel comes up.
    void appear() {
        if (available_) return;
        available_ = true;
        Q_EMIT becameAvailable();
    }

private:
    bool available_;
};

}  // namespace glidra::sim
