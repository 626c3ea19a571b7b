#include "platform/linux/X11DesktopCompositing.h"

#include <QByteArray>

namespace glidra::linux_platform {

X11DesktopCompositing::X11DesktopCompositing(X11Root root, bool waylandSession)
    : root_(root), waylandSession_(waylandSession) {}

bool X11DesktopCompositing::isCompositing() const {
    if (waylandSession_ || !root_.connected()) return true;
    // The name exists on the server only once some compositor has used it.
    if (!selection_) {
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(root_.screenNumber());
        selection_ = root_.atom(name.constData());
        if (!selection_) return false;
    }
    return root_.selectionOwner(*selection_).has_value();
}

}  // namespace glidra::linux_platform
