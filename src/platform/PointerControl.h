#pragma once

#include "platform/MultitouchFramework.h"

#include <QPointF>

#include <optional>

namespace glidra {

// The pointer: where it is, moving it, and holding a touchpad's own motion
// still while a finger on that pad adjusts a level along an edge. Main thread
// only.
class PointerControl {
public:
    virtual ~PointerControl() = default;

    // In global display points, origin at the top left; nothing where the
    // desktop does not tell.
    virtual std::optional<QPointF> location() = 0;
    // False where the desktop does not let a program move the pointer.
    virtual bool warp(QPointF location) = 0;

    // The touchpad stops moving the pointer while its frames keep coming.
    // False when it cannot be held. Holding a held device again changes
    // nothing.
    virtual bool holdMotion(MultitouchDevice device) = 0;
    // The touchpad moves the pointer again, at once: a finger still on the
    // pad moves it from now on. Nothing when it is not held.
    virtual void releaseMotion(MultitouchDevice device) = 0;
    virtual bool isHoldingMotion(MultitouchDevice device) const = 0;
};

}  // namespace glidra
