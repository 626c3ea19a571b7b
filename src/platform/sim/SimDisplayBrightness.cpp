#include "platform/sim/SimDisplayBrightness.h"

namespace glidra::sim {

std::optional<std::vector<DisplayId>> SimDisplayBrightness::onlineDisplays(int maximum) {
    if (listingFails_) return std::nullopt;
    std::vector<DisplayId> ids;
    for (const auto& [id, display] : displays_) {
        if (int(ids.size()) >= maximum) break;
        ids.push_back(id);
    }
    return ids;
}

bool SimDisplayBrightness::isBuiltin(DisplayId display) {
    const auto it = displays_.find(display);
    return it != displays_.end() && it->second.builtin;
}

std::optional<float> SimDisplayBrightness::brightness(DisplayId display) {
    const auto it = displays_.find(display);
    if (it == displays_.end()) return std::nullopt;
    return it->second.level;
}

bool SimDisplayBrightness::setBrightness(DisplayId display, float level) {
    const auto it = displays_.find(display);
    if (it == displays_.end() || it->second.setFails) return false;
    it->second.level = level;
    return true;
}

}  // namespace glidra::sim
