#include "platform/linux/QtScheduler.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>

namespace glidra::linux_platform {

TimerHandle QtScheduler::after(double seconds, QObject* context, std::function<void()> callback) {
    auto state = std::make_shared<platform_detail::TimerState>();
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    const bool hasContext = context != nullptr;
    QPointer<QObject> guard(context);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, state, hasContext, guard, callback = std::move(callback)] {
        timer->deleteLater();
        if (!state->active) return;
        state->active = false;
        state->onCancel = nullptr;
        if (hasContext && !guard) return;
        callback();
    });
    QPointer<QTimer> timerGuard(timer);
    state->onCancel = [timerGuard] {
        if (timerGuard) {
            timerGuard->stop();
            timerGuard->deleteLater();
        }
    };
    const double milliseconds = std::clamp(std::ceil(seconds * 1000.0), 0.0, double(std::numeric_limits<int>::max()));
    timer->start(int(milliseconds));
    return TimerHandle(state);
}

}  // namespace glidra::linux_platform
