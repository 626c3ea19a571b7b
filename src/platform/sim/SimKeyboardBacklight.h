#pragma once

#include "platform/KeyboardBacklight.h"

#include <map>
#include <utility>

namespace glidra::sim {

// Keyboard backlights in memory. Tests light a keyboard up as the system
// does on a key press, and make listing, reading or setting fail.
class SimKeyboardBacklight final : public KeyboardBacklight {
public:
    struct Keyboard {
        std::optional<float> level = 0.5f;  // nothing: the level cannot be read
        bool setFails = false;
    };

    void addKeyboard(KeyboardBacklightId id, Keyboard keyboard) { keyboards_[id] = keyboard; }
    Keyboard& keyboard(KeyboardBacklightId id) { return keyboards_.at(id); }
    void setListingFails(bool fails) { listingFails_ = fails; }
    const std::vector<std::pair<KeyboardBacklightId, float>>& sets() const { return sets_; }
    void clearSets() { sets_.clear(); }

    std::optional<std::vector<KeyboardBacklightId>> keyboards() override {
        if (listingFails_) return std::nullopt;
        std::vector<KeyboardBacklightId> ids;
        for (const auto& entry : keyboards_) ids.push_back(entry.first);
        return ids;
    }
    std::optional<float> brightness(KeyboardBacklightId id) override {
        const auto it = keyboards_.find(id);
        return it == keyboards_.end() ? std::nullopt : it->second.level;
    }
    bool setBrightness(KeyboardBacklightId id, float level) override {
        const auto it = keyboards_.find(id);
        if (it == keyboards_.end() || it->second.setFails) return false;
        it->second.level = level;
        sets_.emplace_back(id, level);
        return true;
    }

private:
    std::map<KeyboardBacklightId, Keyboard> keyboards_;
    std::vector<std::pair<KeyboardBacklightId, float>> sets_;
    bool listingFails_ = false;
};

}  // namespace glidra::sim
