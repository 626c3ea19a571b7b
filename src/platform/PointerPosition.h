#pragma once

#include <QPoint>

#include <optional>

namespace glidra {

// Where the desktop's pointer is. Read rarely: only to tell whether the
// pointer moved while the touchpad's frames stayed away.
class PointerPosition {
public:
    virtual ~PointerPosition() = default;

    // std::nullopt where the desktop does not tell.
    virtual std::optional<QPoint> position() const = 0;
};

}  // namespace glidra
