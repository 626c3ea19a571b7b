#pragma once

#include "platform/DesktopCompositing.h"

namespace glidra::sim {

// A desktop that composites until the test switches its compositor off.
class SimDesktopCompositing final : public DesktopCompositing {
public:
    bool isCompositing() const override { return compositing_; }
    void setCompositing(bool compositing) { compositing_ = compositing; }

private:
    bool compositing_ = true;
};

}  // namespace glidra::sim
