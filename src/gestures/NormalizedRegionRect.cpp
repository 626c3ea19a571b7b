#include "gestures/NormalizedRegionRect.h"

#include "common/Localized.h"
#include "gestures/RegionQuickPreset.h"

#include <QHashFunctions>

#include <algorithm>
#include <cmath>

namespace glidra {

namespace {

constexpr float minimumSide = 0.019999f;

bool inUnitRange(float value) { return std::isfinite(value) && value >= 0.0f && value <= 1.0f; }

}  // namespace

bool NormalizedRegionRect::isValid() const {
    if (!inUnitRange(minX) || !inUnitRange(minY) || !inUnitRange(maxX) || !inUnitRange(maxY)) return false;
    return maxX - minX >= minimumSide && maxY - minY >= minimumSide;
}

std::optional<NormalizedRegionRect> NormalizedRegionRect::intersection(std::span<const NormalizedRegionRect> rects) {
    if (rects.empty()) return std::nullopt;
    if (!std::all_of(rects.begin(), rects.end(), [](const auto& rect) { return rect.isValid(); })) {
        return std::nullopt;
    }
    NormalizedRegionRect common = rects.front();
    for (const auto& rect : rects.subspan(1)) {
        common.minX = std::max(common.minX, rect.minX);
        common.minY = std::max(common.minY, rect.minY);
        common.maxX = std::min(common.maxX, rect.maxX);
        common.maxY = std::min(common.maxY, rect.maxY);
    }
    if (!common.isValid()) return std::nullopt;
    return common;
}

std::optional<QString> NormalizedRegionRect::presetTitle(const std::optional<NormalizedRegionRect>& rect) {
    if (!rect) return std::nullopt;
    for (const int size : {25, 50, 75}) {
        if (const auto preset = matchingQuickPreset(*rect, size)) {
            return QStringLiteral("%1 %2%").arg(title(*preset), QString::number(size));
        }
    }
    return std::nullopt;
}

QString NormalizedRegionRect::listTitle(std::span<const NormalizedRegionRect> rects) {
    if (rects.empty()) return localized(GLIDRA_TEXT("未选择区域"));
    const auto common = intersection(rects);
    if (!common) return localized(GLIDRA_TEXT("没有交叉区域"));
    if (auto preset = presetTitle(common)) return *preset;
    return rects.size() == 1 ? localized(GLIDRA_TEXT("自定义区域")) : localized(GLIDRA_TEXT("交叉区域"));
}

QJsonValue NormalizedRegionRect::toJson() const {
    return JsonObjectWriter().set(u"minX", minX).set(u"minY", minY).set(u"maxX", maxX).set(u"maxY", maxY);
}

JsonResult<NormalizedRegionRect> NormalizedRegionRect::fromJson(const QJsonValue& json, const JsonPath& path) {
    JsonObjectReader in(json, path);
    NormalizedRegionRect rect;
    rect.minX = in.required<float>(u"minX");
    rect.minY = in.required<float>(u"minY");
    rect.maxX = in.required<float>(u"maxX");
    rect.maxY = in.required<float>(u"maxY");
    if (in.failed()) return Failure{in.error()};
    return rect;
}

size_t qHash(const NormalizedRegionRect& rect, size_t seed) noexcept {
    // Adding 0.0f turns -0 into +0 and leaves every other value alone.
    return qHashMulti(seed, rect.minX + 0.0f, rect.minY + 0.0f, rect.maxX + 0.0f, rect.maxY + 0.0f);
}

}  // namespace glidra
