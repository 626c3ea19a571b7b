#include "platform/linux/QtScenePhase.h"

#include <QGuiApplication>

namespace glidra::linux_platform {

namespace {

ScenePhase::Phase phaseOf(Qt::ApplicationState state) {
    switch (state) {
        case Qt::ApplicationActive:
            return ScenePhase::Phase::active;
        case Qt::ApplicationInactive:
            return ScenePhase::Phase::inactive;
        case Qt::ApplicationHidden:
        case Qt::ApplicationSuspended:
            break;
    }
    return ScenePhase::Phase::background;
}

}  // namespace

QtScenePhase::QtScenePhase(QObject* parent) : phase_(phaseOf(QGuiApplication::applicationState())) {
    setParent(parent);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, &QtScenePhase::update);
}

void QtScenePhase::update(Qt::ApplicationState state) {
    const Phase phase = phaseOf(state);
    if (phase == phase_) return;
    phase_ = phase;
    Q_EMIT phaseChanged(phase);
}

}  // namespace glidra::linux_platform
