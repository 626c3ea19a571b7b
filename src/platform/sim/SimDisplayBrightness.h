#pragma once

#include "platform/DisplayBrightness.h"

#include <map>

namespace glidra::sim {

// Displays in memory, with the failures the brightness step must survive.
class SimDisplayBrightness final : public DisplayBrightness {
public:
    struct Display {
        bool builtin = true;
        std::optional<float> level = 0.5f;  // nothing: the level cannot be read
        bool setFails = false;
    };

    void addDisplay(DisplayId id, Display display) { displays_[id] = display; }
    Display& display(DisplayId id) { return displays_.at(id); }
    void setLoadFails(bool fails) { loadFails_ = fails; }
    void setListingFails(bool fails) { listingFails_ = fails; }

    bool load() override { return !loadFails_; }
    std::optional<std::vector<DisplayId>> onlineDisplays(int maximum) override;
    bool isBuiltin(DisplayId display) override;
    std::optional<float> brightness(DisplayId display) override;
    bool setBrightness(DisplayId display, float level) override;

private:
    std::map<DisplayId, Display> displays_;
    bool loadFails_ = false;
    bool listingFails_ = false;
};

}  // namespace glidra::sim
