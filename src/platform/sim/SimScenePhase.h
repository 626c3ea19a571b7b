#pragma once

#include "platform/ScenePhase.h"

namespace glidra::sim {

// The scene phase as the test sets it; active at first, as for a window the
// user just opened.
class SimScenePhase final : public ScenePhase {
    Q_OBJECT
public:
    Phase phase() const override { return phase_; }
    void setPhase(Phase phase) {
        if (phase_ == phase) return;
        phase_ = phase;
        Q_EMIT phaseChanged(phase);
    }

private:
    Phase phase_ = Phase::active;
};

}  // namespace glidra::sim
