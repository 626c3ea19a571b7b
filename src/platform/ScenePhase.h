#pragma once

#include <QObject>

namespace glidra {

// Whether the user is working in the program's windows: views refresh what
// the user may have changed elsewhere (a permission, a login item) when it
// becomes active again.
class ScenePhase : public QObject {
    Q_OBJECT
public:
    enum class Phase { active, inactive, background };
    Q_ENUM(Phase)

    virtual Phase phase() const = 0;

Q_SIGNALS:
    // Emitted on every change, with the new phase.
    void phaseChanged(glidra::ScenePhase::Phase phase);
};

}  // namespace glidra
