#include "gestures/GestureRecognitionLevel.h"

#include <QHashFunctions>
#include <QLatin1StringView>

namespace glidra {

float travelThreshold(GestureRecognitionLevel level) { return enumRow(level).travelThreshold; }

float swipeDistance(GestureRecognitionLevel level) { return enumRow(level).swipeDistance; }

float swipeScale(GestureRecognitionLevel level) { return swipeDistance(level) / 0.14f; }

QString title(GestureRecognitionLevel level) { return enumTitle(level); }

size_t qHash(GestureRecognitionLevel level, size_t seed) noexcept {
    return qHash(QLatin1StringView(enumRow(level).raw), seed);
}

}  // namespace glidra
