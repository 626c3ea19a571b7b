#include "executors/WindowFrameHistory.h"

#include <algorithm>

namespace glidra {

std::optional<QRectF> WindowFrameHistory::frame(WindowControl::WindowId window) const {
    const auto it =
        std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.first == window; });
    if (it == entries_.end()) return std::nullopt;
    return it->second;
}

void WindowFrameHistory::record(QRectF frame, WindowControl::WindowId window) {
    if (this->frame(window)) return;
    const bool wasFull = entries_.size() >= kCapacity;
    entries_.emplace_back(window, frame);
    if (wasFull) entries_.erase(entries_.begin());
}

void WindowFrameHistory::remove(WindowControl::WindowId window) {
    std::erase_if(entries_, [&](const Entry& entry) { return entry.first == window; });
}

}  // namespace glidra
