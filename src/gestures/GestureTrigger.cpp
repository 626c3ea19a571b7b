#include "gestures/GestureTrigger.h"

#include <QHashFunctions>
#include <QLatin1StringView>

namespace glidra {

QString title(GestureTrigger trigger) { return enumTitle(trigger); }

GestureAction defaultAction(GestureTrigger trigger) { return enumRow(trigger).defaultAction; }

size_t qHash(GestureTrigger trigger, size_t seed) noexcept {
    return qHash(QLatin1StringView(enumRow(trigger).raw), seed);
}

}  // namespace glidra
