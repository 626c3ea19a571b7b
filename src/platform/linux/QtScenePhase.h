#pragma once

#include "platform/ScenePhase.h"

namespace glidra::linux_platform {

// The scene phase of the application's windows as Qt reports it: active
// while one of them has the focus.
class QtScenePhase final : public ScenePhase {
    Q_OBJECT
public:
    // Needs the application object.
    explicit QtScenePhase(QObject* parent = nullptr);
    Phase phase() const override { return phase_; }

private:
    void update(Qt::ApplicationState state);

    Phase phase_;
};

}  // namespace glidra::linux_platform
