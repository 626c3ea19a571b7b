#pragma once

#include "platform/PointerPosition.h"

namespace glidra::sim {

// The pointer where the test puts it; counts how often it was read, so tests
// can tell that it is read only when needed. Unavailable, it reports nothing,
// like a desktop that keeps the pointer to itself.
class SimPointerPosition final : public PointerPosition {
public:
    std::optional<QPoint> position() const override {
        ++reads_;
        if (!available_) return std::nullopt;
        return position_;
    }

    void moveTo(QPoint position) { position_ = position; }
    void moveBy(int dx, int dy) { position_ += QPoint(dx, dy); }
    void setAvailable(bool available) { available_ = available; }
    int reads() const { return reads_; }

private:
    QPoint position_{400, 300};
    bool available_ = true;
    mutable int reads_ = 0;
};

}  // namespace glidra::sim
