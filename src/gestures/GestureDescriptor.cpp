#include "gestures/GestureDescriptor.h"

#include <QHash>
#include <QLatin1StringView>

#include <algorithm>
#include <cmath>

namespace glidra {

using Kind = GestureDescriptor::Kind;
using Direction = GestureDescriptor::Direction;

GestureDescriptor::Direction GestureDescriptor::directionOf(float dx, float dy) {
    const float ax = std::fabs(dx);
    const float ay = std::fabs(dy);
    if (2 * ay < ax) return dx > 0 ? Direction::right : Direction::left;
    if (2 * ax < ay) return dy > 0 ? Direction::up : Direction::down;
    if (dy > 0) return dx > 0 ? Direction::upRight : Direction::upLeft;
    return dx > 0 ? Direction::downRight : Direction::downLeft;
}

bool GestureDescriptor::isSameGesture(const GestureDescriptor& other) const {
    if (kind != other.kind || fingers != other.fingers) return false;
    if (usesDirection(kind) && direction != other.direction) return false;
    if (kind == Kind::tap && tapCount != other.tapCount) return false;
    return true;
}

namespace {

QString fingerWord(qint64 fingers) {
    switch (fingers) {
        case 1:
            return localized(GLIDRA_TEXT("单指"));
        case 2:
            return localized(GLIDRA_TEXT("双指"));
        case 3:
            return localized(GLIDRA_TEXT("三指"));
        case 4:
            return localized(GLIDRA_TEXT("四指"));
        default:
            return localized(GLIDRA_TEXT("多指"));
    }
}

QString directionWord(Direction direction) {
    switch (direction) {
        case Direction::up:
            return localized(GLIDRA_TEXT("向上"));
        case Direction::down:
            return localized(GLIDRA_TEXT("向下"));
        case Direction::left:
            return localized(GLIDRA_TEXT("向左"));
        case Direction::right:
            return localized(GLIDRA_TEXT("向右"));
        case Direction::upLeft:
            return localized(GLIDRA_TEXT("向左上方"));
        case Direction::upRight:
            return localized(GLIDRA_TEXT("向右上方"));
        case Direction::downLeft:
            return localized(GLIDRA_TEXT("向左下方"));
        case Direction::downRight:
            return localized(GLIDRA_TEXT("向右下方"));
    }
    return {};
}

}  // namespace

QString GestureDescriptor::title() const {
    const QString finger = fingerWord(fingers);
    switch (kind) {
        case Kind::tap:
            if (tapCount == 1) return localized(GLIDRA_TEXT("%1轻点一下")).arg(finger);
            if (tapCount == 2) return localized(GLIDRA_TEXT("%1轻点两下")).arg(finger);
            return localized(GLIDRA_TEXT("%1轻点三下")).arg(finger);
        case Kind::click:
            return localized(GLIDRA_TEXT("%1单击触控板")).arg(finger);
        case Kind::swipe:
            return localized(GLIDRA_TEXT("%1%2滑动")).arg(finger, directionWord(direction));
        case Kind::forcePress:
            return localized(GLIDRA_TEXT("%1用力按下")).arg(finger);
        case Kind::longPress:
            return localized(GLIDRA_TEXT("%1长按后松开")).arg(finger);
        case Kind::holdSwipe:
            return localized(GLIDRA_TEXT("%1按住片刻，再%2滑动")).arg(finger, directionWord(direction));
        case Kind::tapSwipe:
            return localized(GLIDRA_TEXT("%1轻点后，再%2滑动")).arg(finger, directionWord(direction));
        case Kind::anchorSwipe:
            return localized(GLIDRA_TEXT("一指按住，另一指%1滑动")).arg(directionWord(direction));
        case Kind::pinchIn:
            return localized(GLIDRA_TEXT("%1合拢")).arg(finger);
        case Kind::pinchOut:
            return localized(GLIDRA_TEXT("%1张开")).arg(finger);
        case Kind::rotateClockwise:
            return localized(GLIDRA_TEXT("双指顺时针旋转"));
        case Kind::rotateCounterclockwise:
            return localized(GLIDRA_TEXT("双指逆时针旋转"));
        case Kind::circle:
            return localized(GLIDRA_TEXT("%1画一个圈")).arg(finger);
        case Kind::backAndForth:
            return localized(GLIDRA_TEXT("%1来回滑动")).arg(finger);
    }
    return {};
}

QJsonValue GestureDescriptor::toJson() const {
    return JsonObjectWriter()
        .set(u"kind", kind)
        .set(u"fingers", fingers)
        .set(u"direction", direction)
        .set(u"tapCount", tapCount);
}

JsonResult<GestureDescriptor> GestureDescriptor::fromJson(const QJsonValue& json, const JsonPath& path) {
    JsonObjectReader in(json, path);
    GestureDescriptor descriptor;
    descriptor.kind = in.required<Kind>(u"kind");
    descriptor.fingers = in.required<qint64>(u"fingers");
    descriptor.direction = in.required<Direction>(u"direction");
    descriptor.tapCount = in.required<qint64>(u"tapCount");
    if (in.failed()) return Failure{in.error()};
    return descriptor;
}

QString title(Kind kind) { return enumTitle(kind); }

QString title(Direction direction) { return enumTitle(direction); }

bool usesDirection(Kind kind) { return enumRow(kind).usesDirection; }

bool isTwoFingerOnly(Kind kind) {
    return kind == Kind::rotateClockwise || kind == Kind::rotateCounterclockwise || kind == Kind::anchorSwipe;
}

std::vector<qint64> allowedFingerCounts(Kind kind) {
    if (isTwoFingerOnly(kind)) return {2};
    if (kind == Kind::pinchIn || kind == Kind::pinchOut) return {2, 3, 4};
    return {1, 2, 3, 4};
}

qint64 normalizedFingerCount(Kind kind, qint64 fingers) {
    const auto allowed = allowedFingerCounts(kind);
    if (std::find(allowed.begin(), allowed.end(), fingers) != allowed.end()) return fingers;
    return allowed.empty() ? 1 : allowed.front();
}

size_t qHash(Kind kind, size_t seed) noexcept { return qHash(QLatin1StringView(enumRow(kind).raw), seed); }

size_t qHash(Direction direction, size_t seed) noexcept {
    return qHash(QLatin1StringView(enumRow(direction).raw), seed);
}

size_t qHash(const GestureDescriptor& descriptor, size_t seed) noexcept {
    return qHashMulti(seed, descriptor.kind, descriptor.fingers, descriptor.direction, descriptor.tapCount);
}

}  // namespace glidra
