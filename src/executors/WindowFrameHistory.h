#pragma once

#include "platform/WindowControl.h"

#include <QRectF>

#include <optional>
#include <utility>
#include <vector>

namespace glidra {

// Each window's frame from before the program first laid it out, so that it
// can be put back. Oldest first; one entry per window. Main thread only.
class WindowFrameHistory {
public:
    static constexpr std::size_t kCapacity = 32;
    using Entry = std::pair<WindowControl::WindowId, QRectF>;

    std::optional<QRectF> frame(WindowControl::WindowId window) const;
    // Keeps the first frame recorded for a window; the oldest entry drops out
    // when a window beyond the capacity is recorded.
    void record(QRectF frame, WindowControl::WindowId window);
    void remove(WindowControl::WindowId window);

    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

}  // namespace glidra
