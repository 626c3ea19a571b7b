#pragma once

#include "platform/KeyboardLayout.h"

#include <utility>

namespace glidra::sim {

// A layout the test describes. As set up, it names no physical key and
// cannot be read, as on a windowing system without either: keys go by their
// US positions and titles.
class SimKeyboardLayout final : public KeyboardLayout {
public:
    std::optional<std::uint16_t> keyCodeOfScanCode(std::uint32_t nativeScanCode) const override {
        const auto found = scanCodes_.constFind(nativeScanCode);
        if (found == scanCodes_.constEnd()) return std::nullopt;
        return *found;
    }
    Legends legends() const override { return legends_; }

    // The physical keys of the windowing system's scan codes.
    void setScanCodes(QHash<std::uint32_t, std::uint16_t> keys) { scanCodes_ = std::move(keys); }
    void setLegends(Legends legends) { legends_ = std::move(legends); }

private:
    QHash<std::uint32_t, std::uint16_t> scanCodes_;
    Legends legends_;
};

}  // namespace glidra::sim
