#pragma once

#include <QObject>

namespace glidra {

// What the desktop session tells the program about sleep, the session and
// the program's own end. Signals arrive on the main thread; receivers connect
// with a context object so that a destroyed receiver is never called.
class SystemEvents : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~SystemEvents() override = default;

Q_SIGNALS:
    // The machine is about to sleep: listening, held buttons and grabs must
    // end before it does.
    void willSleep();
    void didWake();
    // The displays came back on, which can happen without a full sleep.
    void screensDidWake();
    // The user's session became the active one again (switching back from
    // another user or the login screen).
    void sessionDidBecomeActive();
    // Another session or the login screen took over the seat.
    void sessionDidResignActive();
    // The program is ending: the last chance to let go of what it holds.
    void willTerminate();
};

}  // namespace glidra
