#pragma once

#include "common/EnumTable.h"
#include "common/Json.h"
#include "common/Localized.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <vector>

namespace glidra {

// Names one gesture: what was done, with how many fingers, which way and how
// many taps. Recognizers produce descriptors, rules store one, and matching
// compares them with isSameGesture.
struct GestureDescriptor {
    enum class Kind {
        tap,
        click,
        swipe,
        forcePress,
        longPress,
        holdSwipe,
        tapSwipe,
        anchorSwipe,
        pinchIn,
        pinchOut,
        rotateClockwise,
        rotateCounterclockwise,
        circle,
        backAndForth,
    };

    enum class Direction { up, down, left, right, upLeft, upRight, downLeft, downRight };

    // The defaults are the gesture a new rule starts with.
    Kind kind = Kind::swipe;
    qint64 fingers = 3;
    // Always filled in; only the kinds that use a direction compare it.
    Direction direction = Direction::right;
    // 1, 2 or 3 for taps; 1 for everything else.
    qint64 tapCount = 1;

    friend bool operator==(const GestureDescriptor&, const GestureDescriptor&) = default;

    // The 8-way direction of a displacement (dx to the right, dy upward). A
    // component counts as dominant when it exceeds twice the other; a zero
    // component counts as left, or down.
    static Direction directionOf(float dx, float dy);

    // The equivalence used by rule matching and conflict detection: kind and
    // fingers always, direction only for directional kinds, tap count only
    // for taps.
    bool isSameGesture(const GestureDescriptor& other) const;

    // Display name, e.g. "三指向右滑动".
    QString title() const;

    QJsonValue toJson() const;
    static JsonResult<GestureDescriptor> fromJson(const QJsonValue& json, const JsonPath& path);
};

template <>
struct EnumTable<GestureDescriptor::Kind> {
    struct Row {
        GestureDescriptor::Kind value;
        const char* raw;
        const char* title;
        bool usesDirection;
    };
    using K = GestureDescriptor::Kind;
    static constexpr Row cases[] = {
        {K::tap, "tap", GLIDRA_TEXT("轻点"), false},
        {K::click, "click", GLIDRA_TEXT("单击（按下触控板）"), false},
        {K::swipe, "swipe", GLIDRA_TEXT("方向滑动"), true},
        {K::forcePress, "forcePress", GLIDRA_TEXT("用力按下"), false},
        {K::longPress, "longPress", GLIDRA_TEXT("长按后抬手"), false},
        {K::holdSwipe, "holdSwipe", GLIDRA_TEXT("长按后滑动"), true},
        {K::tapSwipe, "tapSwipe", GLIDRA_TEXT("轻点后滑动"), true},
        {K::anchorSwipe, "anchorSwipe", GLIDRA_TEXT("一指按住、另一指滑动"), true},
        {K::pinchIn, "pinchIn", GLIDRA_TEXT("捏合"), false},
        {K::pinchOut, "pinchOut", GLIDRA_TEXT("张开"), false},
        {K::rotateClockwise, "rotateClockwise", GLIDRA_TEXT("顺时针旋转"), false},
        {K::rotateCounterclockwise, "rotateCounterclockwise", GLIDRA_TEXT("逆时针旋转"), false},
        {K::circle, "circle", GLIDRA_TEXT("画圈"), false},
        {K::backAndForth, "backAndForth", GLIDRA_TEXT("往返滑动"), false},
    };
};

template <>
struct EnumTable<GestureDescriptor::Direction> {
    struct Row {
        GestureDescriptor::Direction value;
        const char* raw;
        const char* title;
    };
    using D = GestureDescriptor::Direction;
    static constexpr Row cases[] = {
        {D::up, "up", GLIDRA_TEXT("↑ 上")},
        {D::down, "down", GLIDRA_TEXT("↓ 下")},
        {D::left, "left", GLIDRA_TEXT("← 左")},
        {D::right, "right", GLIDRA_TEXT("→ 右")},
        {D::upLeft, "upLeft", GLIDRA_TEXT("↖ 左上")},
        {D::upRight, "upRight", GLIDRA_TEXT("↗ 右上")},
        {D::downLeft, "downLeft", GLIDRA_TEXT("↙ 左下")},
        {D::downRight, "downRight", GLIDRA_TEXT("↘ 右下")},
    };
};

QString title(GestureDescriptor::Kind kind);
QString title(GestureDescriptor::Direction direction);

// Swipe, hold-swipe, tap-swipe and anchor-swipe: the kinds whose rules
// compare directions.
bool usesDirection(GestureDescriptor::Kind kind);
// Rotations and anchor-swipe need exactly two fingers.
bool isTwoFingerOnly(GestureDescriptor::Kind kind);
// The finger counts the rule editor offers for a kind, ascending.
std::vector<qint64> allowedFingerCounts(GestureDescriptor::Kind kind);
// The given count when the kind allows it, else the kind's first allowed one.
qint64 normalizedFingerCount(GestureDescriptor::Kind kind, qint64 fingers);

// Enumerations hash by their raw strings, like their persisted form.
size_t qHash(GestureDescriptor::Kind kind, size_t seed = 0) noexcept;
size_t qHash(GestureDescriptor::Direction direction, size_t seed = 0) noexcept;
size_t qHash(const GestureDescriptor& descriptor, size_t seed = 0) noexcept;

}  // namespace glidra

template <>
struct std::hash<glidra::GestureDescriptor> {
    size_t operator()(const glidra::GestureDescriptor& descriptor) const noexcept { return glidra::qHash(descriptor); }
};
