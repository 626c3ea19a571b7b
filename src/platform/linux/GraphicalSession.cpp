#include "platform/linux/GraphicalSession.h"

#include "platform/linux/XcbConnection.h"

namespace glidra::linux_platform {

DisplayEnvironment DisplayEnvironment::current() {
    return DisplayEnvironment{qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY")};
}

std::optional<QString> missingGraphicalSession(const DisplayEnvironment& environment) {
    // "xcb:option=value" names the plugin before the colon.
    const QByteArray platform = environment.platform.split(':').first();
    // Another plugin chosen by hand (offscreen, wayland, vnc...) answers for
    // itself.
    if (!platform.isEmpty() && platform != "xcb") return std::nullopt;
    if (environment.x11Display.isEmpty()) {
        // Left to choose, Qt may open a Wayland display.
        if (platform.isEmpty() && !environment.waylandDisplay.isEmpty()) return std::nullopt;
        return QStringLiteral(
            "Glidra needs a graphical session, and this one has no display (DISPLAY and WAYLAND_DISPLAY are not "
            "set): start it from the desktop's menu, or from a terminal in the desktop.");
    }
    const int error = xcbConnectionError(environment.x11Display);
    if (error == 0) return std::nullopt;
    return QStringLiteral("Glidra needs a graphical session, and cannot connect to the X display %1 (%2).")
        .arg(QString::fromLocal8Bit(environment.x11Display), xcbConnectionFailure(error));
}

}  // namespace glidra::linux_platform
