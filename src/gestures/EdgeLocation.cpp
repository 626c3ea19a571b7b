#include "gestures/EdgeLocation.h"

#include <QHashFunctions>
#include <QLatin1StringView>

namespace glidra {

QString title(EdgeLocation edge) { return enumTitle(edge); }

QString slideAxisTitle(EdgeLocation edge) { return localized(enumRow(edge).slideAxisTitle); }

std::array<GestureTrigger, 2> triggers(EdgeLocation edge) {
    const auto& row = enumRow(edge);
    return {row.lowerTrigger, row.higherTrigger};
}

std::optional<EdgeLocation> edgeLocation(GestureTrigger trigger) {
    for (const auto& row : enumRows<EdgeLocation>()) {
        if (row.lowerTrigger == trigger || row.higherTrigger == trigger) return row.value;
    }
    return std::nullopt;
}

size_t qHash(EdgeLocation edge, size_t seed) noexcept { return qHash(QLatin1StringView(enumRow(edge).raw), seed); }

}  // namespace glidra
