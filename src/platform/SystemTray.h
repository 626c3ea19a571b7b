#pragma once

#include <QObject>

namespace glidra {

// Whether the desktop has a place for the program's status icon (a tray or
// a StatusNotifier host). At login the panel often starts after the
// program, so a tray may come later.
class SystemTray : public QObject {
    Q_OBJECT
public:
    virtual bool isAvailable() const = 0;

Q_SIGNALS:
    // A tray came where there was none; emitted once.
    void becameAvailable();
};

}  // namespace glidra
