#include "platform/linux/EvdevPointerControl.h"

#include <QCursor>
#include <QGuiApplication>

namespace glidra::linux_platform {

namespace {

// Only an X11 desktop lets a program read and move the pointer anywhere.
bool desktopSharesThePointer() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr &&
           QGuiApplication::platformName() == QLatin1String("xcb");
}

}  // namespace

EvdevPointerControl::~EvdevPointerControl() { hub_.releaseGrabs(this); }

std::optional<QPointF> EvdevPointerControl::location() {
    if (!desktopSharesThePointer()) return std::nullopt;
    return QPointF(QCursor::pos());
}

bool EvdevPointerControl::warp(QPointF location) {
    if (!desktopSharesThePointer()) return false;
    QCursor::setPos(location.toPoint());
    return true;
}

bool EvdevPointerControl::holdMotion(MultitouchDevice device) {
    if (held_.contains(device)) return true;
    for (const auto& node : hub_.openNodes(InputDeviceClass::touchpad)) {
        if (node.get() != device) continue;
        if (!hub_.holdGrab(node->devnode(), this)) return false;
        held_.emplace(device, node->devnode());
        return true;
    }
    return false;
}

void EvdevPointerControl::releaseMotion(MultitouchDevice device) {
    const auto it = held_.find(device);
    if (it == held_.end()) return;
    // At once, finger on the pad or not: the hold ends while the finger may
    // still rest, and from then on that finger moves the pointer.
    hub_.releaseGrab(it->second, this, GrabOwner::Action::releaseNow);
    held_.erase(it);
}

}  // namespace glidra::linux_platform
