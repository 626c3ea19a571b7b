#include "platform/evdev/DeviceDescription.h"

#include "platform/evdev/EvdevCodes.h"

#include <algorithm>

namespace glidra::evdev {

bool DeviceDescription::hasEventCode(std::uint16_t type, std::uint16_t code) const {
    const auto it = eventBits.find(type);
    return it != eventBits.end() && testBit(it->second, code);
}

std::optional<AxisRange> DeviceDescription::axis(std::uint16_t code) const {
    const auto it = axes.find(code);
    if (it == axes.end()) return std::nullopt;
    return it->second;
}

bool DeviceDescription::isMultitouch() const {
    return axes.contains(kAbsMtPositionX) && axes.contains(kAbsMtPositionY);
}

bool DeviceDescription::isPressurePad() const { return hasProperty(kPropPressurepad); }

bool DeviceDescription::isSemiMultitouch() const { return hasProperty(kPropSemiMt); }

bool DeviceDescription::isClickpad() const { return hasProperty(kPropButtonpad); }

int DeviceDescription::slotCount() const {
    const auto slots = axis(kAbsMtSlot);
    if (!slots || slots->maximum < 0) return 1;
    return static_cast<int>(std::min<std::int64_t>(std::int64_t{slots->maximum} + 1, kMaxSlots));
}

std::optional<SurfaceDimensions> DeviceDescription::surfaceDimensions() const {
    const auto x = axis(kAbsMtPositionX);
    const auto y = axis(kAbsMtPositionY);
    const auto millimetres = [](const AxisRange& range) {
        return float((double(range.maximum) - double(range.minimum)) / double(range.resolution));
    };
    if (!x || !y || x->resolution <= 0 || y->resolution <= 0 || x->maximum <= x->minimum || y->maximum <= y->minimum) {
        return std::nullopt;
    }
    return SurfaceDimensions{millimetres(*x), millimetres(*y)};
}

bool DeviceDescription::hasDerivedAxes() const {
    return std::any_of(axes.begin(), axes.end(), [](const auto& entry) { return entry.second.derivedFromData; });
}

}  // namespace glidra::evdev
