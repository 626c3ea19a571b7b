#include "gestures/ForcePressLevel.h"

#include <QHashFunctions>
#include <QLatin1StringView>

namespace glidra {

float pressureThreshold(ForcePressLevel level) { return enumRow(level).pressureThreshold; }

QString title(ForcePressLevel level) { return enumTitle(level); }

size_t qHash(ForcePressLevel level, size_t seed) noexcept { return qHash(QLatin1StringView(enumRow(level).raw), seed); }

}  // namespace glidra
