#pragma once

#include "platform/KeyboardBacklight.h"
#include "platform/sim/SimAnswers.h"

#include <map>
#include <utility>

namespace glidra::sim {

// Keyboard backlights in memory. Tests light a keyboard up as the system
// does on a key press, make listing, reading or setting fail, and hold
// answers.
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
    int reads() const { return reads_; }

    QCoro::Task<std::optional<std::vector<KeyboardBacklightId>>> keyboards() override {
        co_await answers.turn();
        if (listingFails_) co_return std::nullopt;
        std::vector<KeyboardBacklightId> ids;
        for (const auto& entry : keyboards_) ids.push_back(entry.first);
        co_return ids;
    }
    QCoro::Task<std::optional<float>> brightness(KeyboardBacklightId id) override {
        ++reads_;
        co_await answers.turn();
        const auto it = keyboards_.find(id);
        co_return it == keyboards_.end() ? std::nullopt : it->second.level;
    }
    QCoro::Task<bool> setBrightness(KeyboardBacklightId id, float level) override {
        co_await answers.turn();
        const auto it = keyboards_.find(id);
        if (it == keyboards_.end() || it->second.setFails) co_return false;
        it->second.level = level;
        sets_.emplace_back(id, level);
        co_return true;
    }

    SimAnswers answers;

private:
    std::map<KeyboardBacklightId, Keyboard> keyboards_;
    std::vector<std::pair<KeyboardBacklightId, float>> sets_;
    bool listingFails_ = false;
    int reads_ = 0;
};

}  // namespace glidra::sim
