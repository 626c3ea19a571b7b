#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace glidra::linux_platform {

// What decides where the program's windows go.
struct DisplayEnvironment {
    QByteArray platform;        // QT_QPA_PLATFORM
    QByteArray x11Display;      // DISPLAY
    QByteArray waylandDisplay;  // WAYLAND_DISPLAY

    static DisplayEnvironment current();
};

// Nothing when Qt can open the program's windows here, else the one line
// that says why not. Without a display Qt ends the process with an abort and
// advice to reinstall it, which tells a user started outside the desktop
// nothing.
std::optional<QString> missingGraphicalSession(const DisplayEnvironment& environment = DisplayEnvironment::current());

}  // namespace glidra::linux_platform
